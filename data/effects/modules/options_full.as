// options_full.as: a plain stand-in for the module "options_full" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_options_full(CFResource@ res)
{
    DeclarePlainModule(res, "options_full");
}
