// profile.as: a plain stand-in for the module "profile" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_profile(CFResource@ res)
{
    DeclarePlainModule(res, "profile");
}
