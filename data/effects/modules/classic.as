// classic.as: a plain stand-in for the module "classic" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_classic(CFResource@ res)
{
    DeclarePlainModule(res, "classic");
}
