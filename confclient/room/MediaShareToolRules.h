// The media-share tool bar's rules, free of windows: its time text, volume steps, the once-a-second
// gate and clock of its state notices, the take-over of a sharer's state, the open result, the
// file dialog's filter, which dropped files it takes, and where its controls go.
#pragma once
#include <cstdint>
#include <string>

#include "confclient/network/QNRoomPayloads.h"

// "hh:mm:ss / hh:mm:ss": the position, then the length.
std::u16string ShareTimeText(uint32_t nPosition, uint32_t nLength);

// The volume a step or a slider gives: 65535 steps the current one by +10 (bUp) or -10;
// any other value is taken as it is. The result stays within 0..100.
uint32_t StepShareVolume(uint32_t nCurrent, uint32_t nValue, bool bUp);

// Lets one event through per second: the first, then the first at least 1000 ms after the last
// one let through.
class CShareSecondGate
{
public:
    bool Pass(uint32_t dwNow);

private:
    bool m_bStarted = false;
    uint32_t m_dwLast = 0;
};

// What a state notice (8) changed, for the tool bar to show.
struct SShareTakeOver
{
    bool bMuted = false;         // the mute bitmaps to load
    bool bVolumeChanged = false; // the volume slider follows the copy's volume
    bool bVoiceReset = false;    // the voice engine hears that all users left
    bool bSeekMoved = false;     // the seek slider follows the copy's position
    bool bReceiveIdle = false;   // the receive window shows its idle picture
};

// The tool bar's own copy of the room's record and the tick its play clock counts from.
// Notice 8: takes over the mute bit and a changed volume; on the record's changed bit or when
// forced, the position (and a set changed bit resets the voice); then by the record's play
// state: playing while the copy plays advances the copy by the whole seconds elapsed, paused
// resets the tick, stopped clears the position in both. Differing play states copy the record.
SShareTakeOver TakeOverShareState(QNMediaShareRecord& room, QNMediaShareRecord& copy, uint32_t& dwTick,
                                  uint32_t dwNow, bool bForce, bool bReceiving);

// What an open result (notice 3, lParam) means.
enum ShareOpenResult
{
    SHAREOPEN_LOADFAILED,  // "IDS_ERROR_LOADFAILED"
    SHAREOPEN_UNSUPPORTED, // "IDS_ERROR_NOSUPPORTFILE"
    SHAREOPEN_LOADED,
};
ShareOpenResult ShareOpenResultOf(uint32_t lParam);

// The conference's pattern lists and their display texts.
struct SShareExtensions
{
    std::u16string szVideoPatterns = u"*.avi;*.wmv;*.asf;*.mpg;*.mpeg;*.mp4;*.mov;*.mkv";
    std::u16string szVideoDisplay = u"avi, wmv, asf, mpg, mpeg, mp4, mov, mkv";
    std::u16string szAudioPatterns = u"*.mp3;*.wav;*.wma;*.ogg";
    std::u16string szAudioDisplay = u"mp3, wav, wma, ogg";
};

// The file dialog's filter, '|'-separated as the dialog text gives it: video and audio when both
// media bits (nMediaMode 3) are set, else audio only.
std::u16string ShareOpenFilter(int nMediaMode, const SShareExtensions& ext);

// Whether a dropped file may be shared: its "*.ext" must be a whole entry of the audio list (any
// media mode but 0) or, with both bits set, of the video list; case is ignored; a file without
// an extension, or a path longer than 260 characters, is refused.
bool AcceptsDroppedShare(const std::u16string& szPath, int nMediaMode, const SShareExtensions& ext);

// The tool bar's controls for a client width.
struct SShareRect
{
    int x = 0, y = 0, cx = 0, cy = 0;
    bool operator==(const SShareRect&) const = default;
};
struct SShareToolSizes
{
    int nOpenCx = 0, nOpenCy = 0, nPlayCx = 0, nPauseCx = 0, nButtonCy = 0, nStopCx = 0;
    int nMuteCx = 0, nMuteCy = 0, nVolumeCx = 0, nVolumeCy = 0, nSeekCy = 0;
};
struct SShareToolLayout
{
    SShareRect open, play, pause, stop, time, name, mute, volume, seek;
};
SShareToolLayout LayoutShareTool(int cx, const SShareToolSizes& s);
