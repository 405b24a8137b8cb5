// What the notice windows ask of the session: texts, skin pictures, the room's window, and the
// answers that go back to it. The session implements it; the Wine tests fake it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/LogSink.h"

class CLMPictureEx;

class INoticeHost
{
public:
    virtual ~INoticeHost() = default;
    // The language text of a key; empty when the table lacks it.
    virtual std::wstring NoticeText(const char* pszKey) const = 0;
    // Where the notices' log lines and refused text fillings go.
    virtual ILogSink* NoticeLog() = 0;
    // Loads a picture of the skin folder by file name; false when it is missing or unreadable.
    virtual bool LoadSkinImage(const wchar_t* pszFile, CLMPictureEx& picture) = 0;
    // The room's main window while a room is open, else null.
    virtual HWND MainRoomWindow() const = 0;
    // The main dialog, to which the share bar posts its requests.
    virtual HWND MainDialog() const = 0;

    // The desktop-share question: the session's sharing user and requested sharer (65535: none),
    // the local user, and the answer (user, code 0..3).
    virtual uint16_t SharingUser() const = 0;
    virtual uint16_t RequestedSharer() const = 0;
    virtual uint16_t MyUserIndex() const = 0;
    virtual void SetSharingUser(uint16_t wUser) = 0;
    virtual void SetDesktopShareState(uint16_t wUser, int nCode) = 0;
    // A notice box of the session's one notice (mode 2) went away.
    virtual void OnNoticeClosed() = 0;

    // Invitations: the name of a lobby user (none when not logged in), accepting the room, declining
    // to the inviter, and the notice of (inviter, room) going away.
    virtual std::optional<std::wstring> FindLobbyUser(uint16_t wUserIndex) const = 0;
    virtual void AcceptInvitation(uint16_t wRoomIndex) = 0;
    virtual void DeclineInvitation(uint16_t wInviter) = 0;
    virtual void RemoveInviteNotice(uint16_t wInviter, uint16_t wRoomIndex) = 0;

    // The share bar: the local user's display name, and its close button's requests.
    virtual std::wstring MyDisplayName() const = 0;
    virtual bool IsLocalSharer() const = 0;
    virtual void StopLocalShare() = 0;
    virtual void EndRemoteShare(uint16_t wSharerSlot) = 0;
};
