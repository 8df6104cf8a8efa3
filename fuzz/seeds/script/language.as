class Track { int layer; string name; Track(int l) { layer = l; name = "t" + l; } }
const int kCount = 4;
int Sum(array<int>@ a) { int s = 0; for (uint i = 0; i < a.length(); ++i) s += a[i]; return s; }
void LoadAnimations(CFResource@ res)
{
    string text = "mod";
    text += 1;
    res.CreateModule(text);
    res.CreateEffect("e" + kCount, kCount, kCount * 100);
    Track t(2);
    res.CreateObjectGfx(t.name, t.layer);
    switch (t.layer) { case 2: res.AddFrameRect(0, 0, 10, 10, 1); break; default: break; }
    float f = 1.5f * 2; double d = f / 3.0; uint8 b = 255; int64 big = 1 << 40;
    if (d > 0 && b == 255 && big != 0) res.Write("ok");
}
