// Any bytes as a recording: opening, writing back embedded files, seeking and playing to
// the end must stay within the file's bounds and our folders, and end with one status.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "confclient/network/record/Record.h"

namespace fs = std::filesystem;

namespace
{
struct Owner : IRecordOwner
{
    uint32_t TickCount() override { return dwTick; }
    uint32_t WallClock() override { return 0; }
    fs::path TempFolder() override { return base / "tmp"; }
    std::u16string AgendaSubFolder() override { return u"A"; }
    fs::path SkinBaseFolder() override { return base / "prog"; }
    std::u16string MeetingName() override { return u"M"; }
    double PlaySpeed() override { return 4; }
    void OnPlayClock(uint32_t) override {}

    fs::path base;
    uint32_t dwTick = 0;
};

struct Timer : IPlayTimer
{
    void Start(uint32_t, std::function<bool()> onTick) override
    {
        tick = std::move(onTick);
        bRunning = true;
    }
    void Stop() override { bRunning = false; }
    std::function<bool()> tick;
    bool bRunning = false;
};

class Player : public CRecord
{
public:
    Player(Owner& owner, Timer& timer) : CRecord(owner, nullptr, &timer) {}
    ~Player() override { StopPlay(true); }
    size_t nBytes = 0;
    int nEnds = 0;

protected:
    void OnPlayFileInfo(uint32_t, uint32_t) override {}
    void OnRecordStatus(int nStatus) override
    {
        if (nStatus == REC_PLAY_END || nStatus == REC_PLAY_BROKEN) ++nEnds;
    }
    void PlayPacket(uint16_t, const uint8_t* p, size_t n, bool, uint32_t) override
    {
        for (size_t i = 0; i < n; ++i)
            nBytes += p[i]; // touches every byte handed out
    }
    void AddIndexEntry(uint16_t, uint32_t, uint16_t) override {}
    uint32_t FindIndexEntry(uint16_t, uint16_t) override { return 16; }
};

const fs::path& Base()
{
    static fs::path base = fs::temp_directory_path() / ("quillon-fuzz-record-" + std::to_string(getpid()));
    return base;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    std::error_code ec;
    fs::remove_all(Base(), ec);
    fs::create_directories(Base() / "tmp", ec);
    fs::path file = Base() / "in.qn";
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(pData), std::streamsize(nSize));
    }
    Owner owner;
    owner.base = Base();
    Timer timer;
    Player player(owner, timer);
    if (player.OpenPlayFile(file) == 1)
    {
        player.SeekPlay(nSize & 1, uint32_t(nSize % 5));
        for (int i = 0; i < 40 && timer.bRunning; ++i)
        {
            owner.dwTick += 0x08000000;
            if (!timer.tick()) timer.bRunning = false;
        }
        if (player.nEnds > 1) __builtin_trap();
    }
    // Nothing may be written outside the two folders of the recording.
    for (const auto& e : fs::recursive_directory_iterator(Base(), ec))
    {
        fs::path rel = e.path().lexically_relative(Base());
        std::string top = rel.begin()->string();
        if (top != "in.qn" && top != "tmp" && top != "prog") __builtin_trap();
    }
    return 0;
}
