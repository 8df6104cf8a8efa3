// new_trophy.as: a plain stand-in for the module "new_trophy" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_new_trophy(CFResource@ res)
{
    DeclarePlainModule(res, "new_trophy");
}
