// IMediaShareHost: what the media-share view and its tool bar ask of the session.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/room/MediaShareToolRules.h"

class INoticeHost;

class IMediaShareHost
{
public:
    virtual ~IMediaShareHost() = default;
    // The room's media-share record; the tool bar keeps its own copy of it.
    virtual QNMediaShareRecord& ShareRecord() = 0;
    // The local user's user index.
    virtual uint16_t ShareMyUserIndex() const = 0;
    // Whether the local user holds the media-share right.
    virtual bool HasMediaShareRight() const = 0;
    // A recording plays back: nothing is shared, nothing is sent.
    virtual bool IsSharePlayback() const = 0;
    // The room's media option bits 0-1: 3 movies and sound, 2 sound only, 0 none.
    virtual int ShareMediaMode() const = 0;
    // The conference's pattern lists of shareable files.
    virtual const SShareExtensions& ShareExtensions() const = 0;
    // Room option bit 2: a playing file keeps playing in the other view modes.
    virtual bool ShareKeepsSending() const = 0;
    // The room window is in full screen.
    virtual bool ShareFullScreen() const = 0;
    // The movie-sharing sender's window for the view (its owner window given), or null while
    // the program has no sender.
    virtual HWND CreateShareSender(HWND hOwner) = 0;
    // The room's record's flags to the room (566).
    virtual void SendShareState() = 0;
    // The voice engine hears that every user left (the file's sound starts afresh).
    virtual void ResetShareVoice() = 0;
    // The room window takes the focus.
    virtual void FocusRoom() = 0;
    // A notice box with one button: modal (waits) or modeless.
    virtual void ShowShareBox(const std::wstring& szText, bool bModal) = 0;
    // Texts, skin pictures and the log.
    virtual INoticeHost& ShareNotices() = 0;
};
