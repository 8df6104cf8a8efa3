// restart_request.as: a plain stand-in for the module "restart_request" until its graphics are made; the
// loading screen preloads it. Replace this file with the module's real declarations.
void Declare_restart_request(CFResource@ res)
{
    DeclarePlainModule(res, "restart_request");
}
