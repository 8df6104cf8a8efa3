// new_location.as: a plain stand-in for the module "new_location" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_new_location(CFResource@ res)
{
    DeclarePlainModule(res, "new_location");
}
