// A recording owner and main dialog for the network object's tests: keeps every
// call, and waits for the ones a test expects.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "confclient/network/transport/QNOwner.h"
#include "confclient/network/transport/QNServices.h"
#include "tests/network/ClockRecordOwner.h"

struct QNEvent
{
    uint32_t nMsg = 0; // 0x54E, 0x550, 0x552, 0x553, or 0 for a media or sound frame
    uint16_t wCommand = 0;
    uint32_t dwExtra = 0; // lParam for 0x54E
    uint16_t wSub = 0;
    bool bNullDesc = false;
    std::vector<uint8_t> payload;
};

class CTestOwner : public IQNOwner, public IQNHost, public CClockRecordOwner
{
public:
    // Runs inside SendPacketMessage, on the sending thread, before the call is kept.
    std::function<void(uint16_t)> onPacket;
    bool bWantsBacklog = false;
    int nBacklogNotices = 0;
    std::vector<uint32_t> pushChunks;
    std::vector<std::pair<uint16_t, uint32_t>> fileBlocks;
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> boardSent;

    void PostConnectionState(uint32_t wParam, uint32_t lParam) override
    {
        Keep({kMsgConnectionState, static_cast<uint16_t>(wParam), lParam, 0, true, {}});
    }
    void SendPacketMessage(uint32_t nMsg, uint16_t wCommand, const QNPacketDesc* pDesc) override
    {
        if (onPacket) onPacket(wCommand);
        QNEvent e{nMsg, wCommand, 0, 0, pDesc == nullptr, {}};
        if (pDesc)
        {
            e.dwExtra = pDesc->dwExtra;
            e.wSub = pDesc->wSub;
            if (pDesc->pData) e.payload.assign(pDesc->pData, pDesc->pData + pDesc->nLength);
        }
        Keep(std::move(e));
    }
    void PostRecordStatus(uint32_t nStatus) override
    {
        Keep({kMsgRecordStatus, static_cast<uint16_t>(nStatus), 0, 0, true, {}});
    }
    void PumpSentMessages() override {}

    void AddLog(int, const std::string& text) override
    {
        std::lock_guard<std::mutex> g(m_lock);
        logs.push_back(text);
    }
    bool IsPlayerMode() const override { return bPlayer; }
    bool WantsBacklogNotice() override { return bWantsBacklog; }
    void PostBacklogNotice() override { ++nBacklogNotices; }
    void PostPushChunkSent(uint32_t n) override
    {
        std::lock_guard<std::mutex> g(m_lock);
        pushChunks.push_back(n);
        m_cv.notify_all();
    }
    void PostFileBlockSent(uint16_t w, uint32_t n) override
    {
        std::lock_guard<std::mutex> g(m_lock);
        fileBlocks.push_back({w, n});
        m_cv.notify_all();
    }
    void PostBoardDataSent(uint16_t w, std::vector<uint8_t> plain) override
    {
        std::lock_guard<std::mutex> g(m_lock);
        boardSent.push_back({w, std::move(plain)});
        m_cv.notify_all();
        if (onBoardSent) onBoardSent();
    }
    // Called (on the network's thread) when a board frame is reported sent, as a host's window
    // would be woken; set before connecting.
    std::function<void()> onBoardSent;
    void OnSoundFrame(uint16_t wCommand, uint16_t wSub, const uint8_t* p, size_t n) override
    {
        Keep({0, wCommand, 0, wSub, false, std::vector<uint8_t>(p, p + n)});
    }
    void OnMediaFrame(uint16_t wCommand, uint16_t wSub, const uint8_t* p, size_t n) override
    {
        Keep({0, wCommand, 0, wSub, false, std::vector<uint8_t>(p, p + n)});
    }

    // The board frames reported sent so far, taken out of the list.
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> TakeBoardSent()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return std::exchange(boardSent, {});
    }

    // Waits until an event of this message and command has been kept (nth match,
    // counting from 1); returns a copy, or an event with nMsg 0xFFFFFFFF after the timeout.
    QNEvent WaitFor(uint32_t nMsg, uint16_t wCommand, int nth = 1, int nSeconds = 10)
    {
        std::unique_lock<std::mutex> g(m_lock);
        QNEvent found;
        found.nMsg = 0xFFFFFFFF;
        m_cv.wait_for(g, std::chrono::seconds(nSeconds),
                      [&]
                      {
                          int n = 0;
                          for (const QNEvent& e : events)
                              if (e.nMsg == nMsg && e.wCommand == wCommand && ++n == nth)
                              {
                                  found = e;
                                  return true;
                              }
                          return false;
                      });
        return found;
    }
    bool WaitUntil(const std::function<bool()>& pred, int nSeconds = 10)
    {
        std::unique_lock<std::mutex> g(m_lock);
        return m_cv.wait_for(g, std::chrono::seconds(nSeconds), pred);
    }
    int Count(uint32_t nMsg, uint16_t wCommand)
    {
        std::lock_guard<std::mutex> g(m_lock);
        int n = 0;
        for (const QNEvent& e : events)
            n += (e.nMsg == nMsg && e.wCommand == wCommand) ? 1 : 0;
        return n;
    }
    std::vector<QNEvent> Events()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return events;
    }

    bool bPlayer = false;
    std::vector<QNEvent> events;
    std::vector<std::string> logs;

private:
    void Keep(QNEvent e)
    {
        std::lock_guard<std::mutex> g(m_lock);
        events.push_back(std::move(e));
        m_cv.notify_all();
    }

    std::mutex m_lock;
    std::condition_variable m_cv;
};
