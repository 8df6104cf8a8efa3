// informative_wind.as: a plain stand-in for the module "informative_wind" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_informative_wind(CFResource@ res)
{
    DeclarePlainModule(res, "informative_wind");
}
