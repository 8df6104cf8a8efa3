// new_hardcorelevel.as: a plain stand-in for the module "new_hardcorelevel" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_new_hardcorelevel(CFResource@ res)
{
    DeclarePlainModule(res, "new_hardcorelevel");
}
