// What the recorder needs of the program around it: clocks, folders, the open meeting and the player.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

class IRecordOwner
{
public:
    virtual ~IRecordOwner() = default;
    // Milliseconds since the system started; wraps at 32 bits.
    virtual uint32_t TickCount() = 0;
    // Seconds since 1970-01-01 UTC, low 32 bits.
    virtual uint32_t WallClock() = 0;
    // The system's temporary folder (the index file and the agenda documents live below it).
    virtual std::filesystem::path TempFolder() = 0;
    // The open meeting's agenda sub-folder below the temporary agenda folder; empty when none.
    virtual std::u16string AgendaSubFolder() = 0;
    // The folder that holds the skin folder "skin" and the playback skin folder "skinplay".
    virtual std::filesystem::path SkinBaseFolder() = 0;
    // The name of the meeting now open; empty when none is open.
    virtual std::u16string MeetingName() = 0;
    // The player's speed factor.
    virtual double PlaySpeed() = 0;
    // The play clock for the player window; called on the playback thread, so it must only post.
    virtual void OnPlayClock(uint32_t dwPlayMs) = 0;
};
