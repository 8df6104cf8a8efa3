// main_menu.as: a plain stand-in for the module "main_menu" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_main_menu(CFResource@ res)
{
    DeclarePlainModule(res, "main_menu");
}
