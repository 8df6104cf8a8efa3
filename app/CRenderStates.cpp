// CRenderStates.cpp
#include "app/CRenderStates.h"

#include "platform/Engine.h"

CRenderStates::CRenderStates() : m_pEngine(engine2dCreate(kEngineVersion)) {}

CRenderStates::~CRenderStates()
{
    if (m_pEngine != nullptr)
        m_pEngine->Release();
}

void CRenderStates::SetClampAddressing()
{
    if (m_pEngine != nullptr)
        m_pEngine->SetClampAddressing();
}
