// master_mode_window.as: a plain stand-in for the module "master_mode_window" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_master_mode_window(CFResource@ res)
{
    DeclarePlainModule(res, "master_mode_window");
}
