// CRenderStates.h: render states the game relies on that the engine does not keep by itself.
// Holds its own engine reference.
#pragma once

#include "platform/EngineRef.h"

class CRenderStates {
public:
    CRenderStates();
    ~CRenderStates();
    CRenderStates(const CRenderStates&) = delete;
    CRenderStates& operator=(const CRenderStates&) = delete;

    // Textures clamp at their edges, so scaled sprites do not bleed in the opposite edge.
    void SetClampAddressing();

private:
    CEngineRef m_pEngine;
};
