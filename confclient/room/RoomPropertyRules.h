// The room property dialog's rules: its lists' values, the layout of its sections, the frame-rate
// controls, and what OK does with the input: refuse it with a message, close, or send the
// changed properties.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "confclient/network/QNRoomViewPayloads.h"

// The highest frame rate the room property record carries (5 bits).
constexpr uint32_t kMaxSentFrameRate = 31;
constexpr size_t kMaxTitleUnits = 127;
constexpr size_t kMaxPasswordUnits = 100;

// Presenter video position: list index 0 is "not used" (value 3), indexes 1..3 the values 0..2.
int PresenterVideoIndex(uint32_t nValue);
uint32_t PresenterVideoValue(int nIndex);
// Capture size: list index 0 is automatic (code 1), indexes 1..5 the codes 2..6; a code without
// an item selects automatic.
int CaptureSizeIndex(uint32_t nCode);
uint32_t CaptureSizeCode(int nIndex);
// Width and height of a video size code (2..6); 0x0 for another.
struct S_VIDEOSIZE
{
    int cx = 0, cy = 0;
    bool operator==(const S_VIDEOSIZE&) const = default;
};
S_VIDEOSIZE VideoSizeOfCode(int nCode);

// The dialog's vertical layout.
struct S_PROPERTYLAYOUT
{
    int nTop = 25;
    int nSectionShift = 0; // S: the rights section moves up
    int nButtonShift = 0;  // B: the OK/Cancel row moves up
    int nHeight = 590;
    int nMediaShareX = 200;
    int nOkY = 0;
    bool operator==(const S_PROPERTYLAYOUT&) const = default;
};
S_PROPERTYLAYOUT PropertyLayout(bool bHasVideo, bool bQualityHidden, bool bDesktopShareShown,
                                bool bMediaShareShown);

// The frame-rate slider and its value as the fixed-rate check and the room make them.
struct S_FRAMERATECONTROLS
{
    uint32_t nSliderMax = 0;
    bool bSliderEnabled = false;
    bool bValueShown = false;
    std::optional<uint32_t> nFrameRate; // the new value, when the controls set one
};
S_FRAMERATECONTROLS FrameRateControls(bool bFixed, bool bDocumentRoom, bool bHasSender, bool bHasVideo,
                                      uint32_t nRoomFrameRate, uint32_t nMaxFrameRate);

// The room as the dialog opened on it.
struct S_PROPERTYROOM
{
    S_ROOMPROPERTY current; // the room's properties (capture size: the code read at opening)
    std::u16string szTitle;
    std::u16string szPassword;
    int nParticipants = 0;
    bool bControlRight = false;
    bool bDocumentRoom = false;
    // What the dialog shows.
    int nMaxUserChoices = 0; // the maximum-participants list holds 1..this
    uint32_t nMaxFrameRate = 30;
    bool bHasVideo = true;
    bool bHasSender = false; // the local video sender window exists
    bool bQualityHidden = false;
    bool bDesktopShareOffered = false;
    uint8_t nMediaShareKind = 0;
};

// The dialog's input when OK is pressed.
struct S_PROPERTYFORM
{
    S_ROOMPROPERTY values; // capture size: the selected item's code
    std::u16string szTitle;
    std::u16string szPassword;
    uint32_t nOpeningFrameRate = 0;
};

enum PropertyOkAction : uint8_t
{
    PROPERTY_CLOSE, // close without sending (no right, or nothing changed)
    PROPERTY_STAY,  // keep the dialog open; show the message when it has a key
    PROPERTY_SEND,  // hand the texts to the bar, send the properties, close
    PROPERTY_TEXTS, // hand the texts to the bar, close without sending the properties
};

struct S_PROPERTYOK
{
    PropertyOkAction action = PROPERTY_CLOSE;
    std::string szMessageKey;           // PROPERTY_STAY with a message
    std::optional<char16_t> badChar;    // the message is "[c] text"
    std::u16string szTitle, szPassword; // what goes to the bar's room-text update
    S_ROOMPROPERTY send;
};

S_PROPERTYOK PropertyOk(const S_PROPERTYROOM& room, const S_PROPERTYFORM& form);

// "[c] text": the refused character, then the message.
std::u16string BadCharMessage(char16_t c, const std::u16string& szText);

// The talk, draw, desktop-share and media-share checks as a changed room record sets them.
S_ROOMPROPERTY WithRecordRights(S_ROOMPROPERTY form, const QNRoomProperty& record);
