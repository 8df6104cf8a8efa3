// bonus_statistic.as: a plain stand-in for the module "bonus_statistic" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_bonus_statistic(CFResource@ res)
{
    DeclarePlainModule(res, "bonus_statistic");
}
