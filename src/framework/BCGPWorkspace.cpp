#include "framework/BCGPWorkspace.h"

#include <memory>

namespace {
std::unique_ptr<CBCGPTooltipManager> g_tooltipManager;
}

void CBCGPTooltipManager::SetTooltipParams(UINT types, const CBCGPToolTipParams& params) {
    for (UINT bit = 0; bit < 16; ++bit) {
        if (types & (1u << bit)) {
            m_params[bit] = params;
            m_setTypes |= 1u << bit;
        }
    }
}

const CBCGPToolTipParams& CBCGPTooltipManager::GetTooltipParams(UINT type) const {
    for (UINT bit = 0; bit < 16; ++bit) {
        if (type & (1u << bit))
            return (m_setTypes & (1u << bit)) ? m_params[bit] : m_defaults;
    }
    return m_defaults;
}

CBCGPWorkspace::CBCGPWorkspace(BOOL) {}

BOOL CBCGPWorkspace::InitTooltipManager() {
    if (!g_tooltipManager)
        g_tooltipManager = std::make_unique<CBCGPTooltipManager>();
    return TRUE;
}

// The shell's folder and item interfaces need nothing set up beyond OLE.
BOOL CBCGPWorkspace::InitShellManager() {
    return TRUE;
}

CBCGPTooltipManager* CBCGPWorkspace::GetTooltipManager() {
    return g_tooltipManager.get();
}

void BCGCBProCleanUp() {
    g_tooltipManager.reset();
}
