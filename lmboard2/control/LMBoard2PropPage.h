// CLMBoard2PropPage: the control's property page; the board has no design-time properties,
// so the page is an empty window.
#pragma once
#include <objbase.h>

// Makes a page object for the class factory.
HRESULT CreatePropPage(REFIID riid, void** ppv);
