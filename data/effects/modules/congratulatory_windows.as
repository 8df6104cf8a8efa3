// congratulatory_windows.as: a plain stand-in for the module "congratulatory_windows" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_congratulatory_windows(CFResource@ res)
{
    DeclarePlainModule(res, "congratulatory_windows");
}
