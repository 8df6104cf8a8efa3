// high_scores.as: a plain stand-in for the module "high_scores" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_high_scores(CFResource@ res)
{
    DeclarePlainModule(res, "high_scores");
}
