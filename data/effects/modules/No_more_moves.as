// No_more_moves.as: a plain stand-in for the module "No_more_moves" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_No_more_moves(CFResource@ res)
{
    DeclarePlainModule(res, "No_more_moves");
}
