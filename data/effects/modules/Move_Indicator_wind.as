// Move_Indicator_wind.as: a plain stand-in for the module "Move_Indicator_wind" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_Move_Indicator_wind(CFResource@ res)
{
    DeclarePlainModule(res, "Move_Indicator_wind");
}
