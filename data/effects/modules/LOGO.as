// LOGO.as: a plain stand-in for the module "LOGO" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_LOGO(CFResource@ res)
{
    DeclarePlainModule(res, "LOGO");
}
