// sparkles.as: the module "sparkles", particle effects that screens start by name.
//
// Each effect is one frame long and holds a particle track whose key places the emitter; the
// particle command on that key fires it (1 fire, 2 stop emitting, 3 stop and kill).

void DeclareParticleEffect(CFResource@ res, const string &in name, int psi, int sprite, int additive)
{
    res.CreateEffect(name, 1, 1000);
    res.CreateObjectParticle("emitter", psi, sprite, 0, additive);
    //             text sprite alpha  r    g    b    x  y  sx   sy   rot hx hy interp depth blend
    res.AddFrameGfx(-1,  -1,   255,  255, 255, 255, 0, 0, 100, 100, 0,  0, 0, 0,     10,   0);
    res.AddParticleCommand(1);
}

void Declare_sparkles(CFResource@ res)
{
    res.CreateModule("sparkles");
    DeclareParticleEffect(res, "sparkle", g_psiSparkle, g_sprParticleStar, 1);
    DeclareParticleEffect(res, "trail", g_psiTrail, g_sprParticleDot, 1);
    DeclareParticleEffect(res, "rain", g_psiRain, g_sprParticleDot, 0);
    DeclareParticleEffect(res, "burst", g_psiBurst, g_sprParticleStar, 1);
}
