// learn.as: a plain stand-in for the module "learn" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_learn(CFResource@ res)
{
    DeclarePlainModule(res, "learn");
    DeclareTutorialBanner(res);
}
