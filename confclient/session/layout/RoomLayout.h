// The room layouts: the layout table of the language library ("INI" 10505),
// the video-window count of each room type, and the room window rectangle.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// One room type's layout. The network client also creates one as its room
// information object, so it stays a polymorphic class.
class CRoomInfo
{
public:
    virtual ~CRoomInfo() = default;

    int32_t VideoCount = 0;
    int32_t VideoWidthLineCount = 0;  // columns of the video grid
    int32_t VideoHeightLineCount = 0; // rows
    int32_t BigVideoCount = 0;
    int32_t BigRemainVideoCount = 0;    // small windows beside the big ones
    int32_t NomalVideoSendSize[2] = {}; // width, height
    int32_t BigVideoSendSize[2] = {};
};

struct S_RGB16
{
    uint16_t r, g, b;
};

struct S_RECT
{
    int32_t left, top, right, bottom;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const S_RECT&) const = default;
};

// The layout table, read from the "INI" layout text.
class CLayoutTable
{
public:
    static constexpr int kMaxRoomType = 50;

    // Reads the table. lookup(key) answers a key of the parsed text ("" when
    // absent; keys after a "[n]" section carry the prefix "n_"); rawText is
    // the text itself, in which a section "[n]" makes room type n a record.
    // Without a text (no resource) the defaults stay.
    void Load(std::u16string_view rawText,
              const std::function<std::u16string(const std::u16string&)>& lookup);

    // The record of the type when 1..50, else of the current type; null when the table has none.
    const CRoomInfo* GetLayoutInfo(uint16_t nType, uint16_t nCurrentType) const;

    S_RGB16 MeterColour() const { return m_meter; }
    S_RGB16 MeterBackColour() const { return m_meterBack; }

private:
    std::array<std::unique_ptr<CRoomInfo>, kMaxRoomType + 1> m_records; // [0] unused
    S_RGB16 m_meter{109, 63, 155};
    S_RGB16 m_meterBack{30, 110, 190};
};

// Video windows of a room type; 65535 for types the table does not list.
uint16_t VideoCountOfType(uint16_t nType);

// A view count that a window can hold: 65535 and other out-of-range counts
// become 0..49.
int ClampViewCount(int nCount);

// The room rectangle. savedPosition is "Room_Position" ("max,left,top,width,height");
// an empty text means none is saved. The saved rectangle counts only inside the
// virtual screen, with non-zero left and top and a positive size; otherwise a
// 1024 x 738 rectangle is centred on the work area. Anything larger than the
// work area becomes the work area's size.
struct S_ROOMPOSITION
{
    S_RECT rect;
    bool bMaximized;
};
S_ROOMPOSITION ComputeRoomPosition(std::u16string_view savedPosition, const S_RECT& workArea,
                                   const S_RECT& virtualScreen);

// "max,left,top,width,height" as stored in "Room_Position".
std::u16string FormatRoomPosition(const S_ROOMPOSITION& pos);

// _wtoi as the tables use it: leading blanks, an optional sign, digits; 0 otherwise.
int32_t ParseInt(std::u16string_view s);
