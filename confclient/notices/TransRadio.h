// CTransRadio: a radio button drawn over its parent's background (no box of its own).
#pragma once
#include "winui/Controls.h"

class CTransRadio : public CButton
{
protected:
    HBRUSH CtlColor(HDC hDC, UINT ctlMsg) override
    {
        ::SetBkMode(hDC, TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
};
