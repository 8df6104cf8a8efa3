// rules.as: a plain stand-in for the module "rules" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_rules(CFResource@ res)
{
    DeclarePlainModule(res, "rules");
}
