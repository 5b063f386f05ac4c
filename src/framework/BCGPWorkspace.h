// The workspace mix-in and tooltip manager of the control library: the look of the rich
// tooltips (label and description) that the program's windows show.
#pragma once

#include <windows.h>

struct CBCGPToolTipParams {
    BOOL m_bBallonTooltip = FALSE;
    BOOL m_bDrawIcon = TRUE;
    BOOL m_bDrawDescription = TRUE;
    int m_nMaxDescrWidth = 200;
    BOOL m_bRoundedCorners = FALSE;
    BOOL m_bBoldLabel = TRUE;
    COLORREF m_clrFill = static_cast<COLORREF>(-1);
    COLORREF m_clrFillGradient = static_cast<COLORREF>(-1);
    int m_nGradientAngle = -1;
    COLORREF m_clrText = static_cast<COLORREF>(-1);
    COLORREF m_clrBorder = static_cast<COLORREF>(-1);
    BOOL m_bDrawSeparator = FALSE;
};

// Tooltip types, as bits of the mask given to SetTooltipParams.
enum : UINT { BCGP_TOOLTIP_TYPE_ALL = 0xFFFF };

class CBCGPTooltipManager {
public:
    // The look of tooltips of the given types (a mask of type bits) from now on.
    void SetTooltipParams(UINT types, const CBCGPToolTipParams& params);
    // The look for one type bit; the library's defaults where none was set.
    const CBCGPToolTipParams& GetTooltipParams(UINT type) const;

private:
    CBCGPToolTipParams m_params[16];
    UINT m_setTypes = 0;
    CBCGPToolTipParams m_defaults;
};

class CBCGPWorkspace {
public:
    explicit CBCGPWorkspace(BOOL resourceSmartUpdate = FALSE);
    virtual ~CBCGPWorkspace() = default;

    BOOL InitTooltipManager();
    BOOL InitShellManager();
    // The process's tooltip manager, or null before InitTooltipManager.
    static CBCGPTooltipManager* GetTooltipManager();
};

// Frees what the control library holds at exit.
void BCGCBProCleanUp();
