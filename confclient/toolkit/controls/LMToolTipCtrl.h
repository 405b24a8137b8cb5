// CLMToolTipCtrl: a tool tip fed with the messages of its owner window.
#pragma once
#include "winui/Controls.h"

class CLMToolTipCtrl : public CToolTipCtrl
{
public:
    // Hands a copy of `pMsg` to the tool tip, aimed at the window under the point, with mouse
    // coordinates in that window's client area.
    void RelayEvent(const MSG* pMsg);
};
