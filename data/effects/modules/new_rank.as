// new_rank.as: a plain stand-in for the module "new_rank" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_new_rank(CFResource@ res)
{
    DeclarePlainModule(res, "new_rank");
}
