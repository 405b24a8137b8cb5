// A recorder with everything around it faked: an owner with a settable clock and
// folders in a scratch directory, a timer the test fires by hand, and a network
// object that keeps every call it gets.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "confclient/network/record/Record.h"

struct FakeOwner : IRecordOwner
{
    uint32_t TickCount() override { return dwTick; }
    uint32_t WallClock() override { return dwWall; }
    std::filesystem::path TempFolder() override { return temp; }
    std::u16string AgendaSubFolder() override { return agendaSub; }
    std::filesystem::path SkinBaseFolder() override { return skinBase; }
    std::u16string MeetingName() override { return meeting; }
    double PlaySpeed() override { return dSpeed; }
    void OnPlayClock(uint32_t dwPlayMs) override { clocks.push_back(dwPlayMs); }

    uint32_t dwTick = 1000;
    uint32_t dwWall = 1700000000;
    std::filesystem::path temp, skinBase;
    std::u16string agendaSub = u"Meeting7";
    std::u16string meeting = u"Weekly";
    double dSpeed = 1;
    std::vector<uint32_t> clocks;
};

struct ManualTimer : IPlayTimer
{
    void Start(uint32_t nPeriodMs, std::function<bool()> onTick) override
    {
        nPeriod = nPeriodMs;
        tick = std::move(onTick);
        bRunning = true;
    }
    void Stop() override { bRunning = false; }
    // One tick, as the timer thread would give it.
    void Fire()
    {
        if (bRunning && !tick()) bRunning = false;
    }

    uint32_t nPeriod = 0;
    bool bRunning = false;
    std::function<bool()> tick;
};

struct SPlayed
{
    uint16_t wCommand;
    std::vector<uint8_t> payload;
    bool bSeeking;
    uint32_t dwPosition;
};

class TestRecord : public CRecord
{
public:
    TestRecord(IRecordOwner& owner, IPlayTimer& timer, ILogSink* pLog, uint64_t nLimit = kRecordSizeLimit)
        : CRecord(owner, pLog, &timer, nLimit)
    {
    }
    ~TestRecord() override
    {
        StopPlay(true);
        StopRecord(REC_ERROR);
    }

    std::vector<SPlayed> played;
    std::vector<int> statuses;
    std::vector<std::pair<uint32_t, uint32_t>> fileInfo;
    std::map<std::pair<uint16_t, uint16_t>, uint32_t> keyFrames;

protected:
    void OnPlayFileInfo(uint32_t dwStart, uint32_t dwEnd) override { fileInfo.push_back({dwStart, dwEnd}); }
    void OnRecordStatus(int nStatus) override { statuses.push_back(nStatus); }
    void PlayPacket(uint16_t wCommand, const uint8_t* p, size_t n, bool bSeeking,
                    uint32_t dwPosition) override
    {
        played.push_back({wCommand, std::vector<uint8_t>(p, p + n), bSeeking, dwPosition});
    }
    void AddIndexEntry(uint16_t wSub, uint32_t dwPosition, uint16_t wCommand) override
    {
        keyFrames[{wCommand, wSub}] = dwPosition;
    }
    uint32_t FindIndexEntry(uint16_t wCommand, uint16_t wSub) override
    {
        auto it = keyFrames.find({wCommand, wSub});
        return it == keyFrames.end() ? 0xFFFFFFFFu : it->second;
    }
};

struct LogLines : ILogSink
{
    void AddLog(int nLevel, const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

// A scratch directory, removed with the fixture.
class ScratchDir
{
public:
    ScratchDir();
    ~ScratchDir();
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
