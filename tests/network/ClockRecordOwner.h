// The recorder's owner for network tests, fuzz targets and benchmarks: the real
// clocks, a temporary folder of the process, no meeting open, a settable speed.
#pragma once
#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

#include "confclient/network/record/RecordOwner.h"

class CClockRecordOwner : public virtual IRecordOwner
{
public:
    uint32_t TickCount() override
    {
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
    uint32_t WallClock() override { return static_cast<uint32_t>(std::time(nullptr)); }
    std::filesystem::path TempFolder() override
    {
        return tempFolder.empty() ? std::filesystem::temp_directory_path() : tempFolder;
    }
    std::u16string AgendaSubFolder() override { return agendaSubFolder; }
    std::filesystem::path SkinBaseFolder() override { return TempFolder() / "quillon-test-skin"; }
    std::u16string MeetingName() override { return u""; }
    double PlaySpeed() override { return dPlaySpeed; }
    void OnPlayClock(uint32_t) override {}

    double dPlaySpeed = 1.0;
    std::filesystem::path tempFolder; // empty: the system's
    std::u16string agendaSubFolder;   // empty: no meeting open
};
