// in_game_menu.as: a plain stand-in for the module "in_game_menu" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_in_game_menu(CFResource@ res)
{
    DeclarePlainModule(res, "in_game_menu");
}
