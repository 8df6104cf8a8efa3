void LoadAnimations(CFResource@ res) { res.AddSound("a", "b") ^ res.CreateModule("x"); }
