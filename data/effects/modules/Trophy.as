// Trophy.as: a plain stand-in for the module "Trophy" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_Trophy(CFResource@ res)
{
    DeclarePlainModule(res, "Trophy");
}
