// Bounds-checked readers of the two resources the owner-drawn menu is built
// from: the menu template (resource type 4) and the toolbar (type 241) whose
// item list says which slice of its bitmap belongs to which command. Also the
// pixel recipes for the extra images of an item: washed, shadow and grey.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "confclient/toolkit/menurules/MenuRules.h"

struct MenuTemplateItem
{
    uint16_t nFlags = 0; // as in the template: 0x10 popup, 0x80 last of its level, ...
    uint16_t nId = 0;    // 0 for popups and separators
    std::u16string text;
    std::vector<MenuTemplateItem> children; // a popup's items
};

// Reads a standard menu template. Nothing for a truncated template, an
// unterminated text, a header it does not know, or popups nested deeper
// than 16 levels.
std::optional<std::vector<MenuTemplateItem>> ParseMenuTemplate(const uint8_t* pData, size_t nLen);

struct ToolbarResource
{
    uint16_t nWidth = 0; // one button image
    uint16_t nHeight = 0;
    std::vector<uint16_t> items; // command ids in button order; 0 is a separator (no image)

    // The image slot of a command in the bitmap (separators take none), or -1.
    int ImageOffsetOf(uint16_t nCommand) const;
};

// Reads a toolbar resource (version 1). Nothing when truncated or of another version.
std::optional<ToolbarResource> ParseToolbarResource(const uint8_t* pData, size_t nLen);

// Extra item images, made pixel by pixel from an item image; pixels equal to
// the background colour stay as they are.
void MakeWashedImage(std::vector<MenuColour>& pixels, MenuColour background);
void MakeShadowImage(std::vector<MenuColour>& pixels, MenuColour background, MenuColour shadow);
void MakeGreyImage(std::vector<MenuColour>& pixels, MenuColour background, MenuColour buttonFace);
