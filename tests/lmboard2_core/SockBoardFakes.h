// Recording stand-ins for the writer's owner, record store and clock.
#pragma once
#include <functional>
#include <mutex>
#include <vector>

#include "lmboard2/boardmsg/SockBoard.h"

class CRecordingOwner : public IBoardWriterOwner
{
public:
    void SendData(const uint8_t* p, size_t n) override
    {
        {
            std::lock_guard<std::mutex> lock(m);
            sent.emplace_back(p, p + n);
        }
        if (onSend) onSend(p, n);
    }
    void ProgressChange(uint32_t n) override { progress.push_back(n); }
    void AddLocalPage(const S_BOARD_FILEHDR& h) override { pages.push_back(h); }

    std::vector<std::vector<uint8_t>> Sent()
    {
        std::lock_guard<std::mutex> lock(m);
        return sent;
    }
    std::vector<uint8_t> Codes()
    {
        std::vector<uint8_t> c;
        for (const auto& s : Sent())
            c.push_back(s[0]);
        return c;
    }

    std::function<void(const uint8_t*, size_t)> onSend; // e.g. the host's "sent" notice
    std::vector<uint32_t> progress;
    std::vector<S_BOARD_FILEHDR> pages;

private:
    std::mutex m;
    std::vector<std::vector<uint8_t>> sent;
};

class CRecordingStore : public IBoardRecordStore
{
public:
    bool AppendRecord(const std::u16string& page, const uint8_t* p, size_t n) override
    {
        stored.push_back({page, std::vector<uint8_t>(p, p + n)});
        return bAccept;
    }
    struct Stored
    {
        std::u16string page;
        std::vector<uint8_t> record;
    };
    std::vector<Stored> stored;
    bool bAccept = true;
};

// Time moves only when told or when slept through.
class CFakeClock : public IBoardClock
{
public:
    uint32_t TickCount() override { return nNow; }
    void Sleep(uint32_t nMs) override
    {
        sleeps.push_back(nMs);
        nNow += nMs;
    }
    uint32_t nNow = 5000;
    std::vector<uint32_t> sleeps;
};

inline uint16_t U16At(const std::vector<uint8_t>& b, size_t o)
{
    return static_cast<uint16_t>(b[o] | (b[o + 1] << 8));
}

inline uint32_t U32At(const std::vector<uint8_t>& b, size_t o)
{
    return uint32_t(b[o]) | (uint32_t(b[o + 1]) << 8) | (uint32_t(b[o + 2]) << 16) |
           (uint32_t(b[o + 3]) << 24);
}

inline std::u16string NameOf(const std::vector<uint8_t>& b)
{
    std::u16string s;
    for (size_t i = 0; i < 32 && U16At(b, 8 + 2 * i); ++i)
        s.push_back(U16At(b, 8 + 2 * i));
    return s;
}
