// new_bonuslevel.as: a plain stand-in for the module "new_bonuslevel" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_new_bonuslevel(CFResource@ res)
{
    DeclarePlainModule(res, "new_bonuslevel");
}
