// place_fire.as: a plain stand-in for the module "place_fire" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_place_fire(CFResource@ res)
{
    DeclarePlainModule(res, "place_fire");
}
