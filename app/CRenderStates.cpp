// CRenderStates.cpp
#include "app/CRenderStates.h"

#include "platform/Engine.h"

CRenderStates::CRenderStates() = default;

CRenderStates::~CRenderStates() = default;

void CRenderStates::SetClampAddressing()
{
    if (m_pEngine != nullptr)
        m_pEngine->SetClampAddressing();
}
