// Item images from toolbar resources: the toolbar's item list (resource type 241) says which slice of
// its bitmap (the bitmap resource of the same id) belongs to a command.
#pragma once
#include <windows.h>

struct ToolbarImageOptions
{
    // Background pixels become the button-face colour (else `crBackground`); that colour is the key.
    bool bUseButtonFace = true;
    COLORREF crBackground = 0xF5F5F5;
    // Also the washed, shadow and grey copies.
    bool bExtraImages = true;
    bool bIconMode = false;
};

// Puts the command's image from the toolbar into the shared image list; its index there, or -1 when
// the toolbar or its bitmap does not load or the toolbar does not hold the command.
int LoadToolbarImage(UINT nToolbar, UINT nCommand, const ToolbarImageOptions& options);
