// golden_card_window.as: a plain stand-in for the module "golden_card_window" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_golden_card_window(CFResource@ res)
{
    DeclarePlainModule(res, "golden_card_window");
}
