// A Wintab32.dll stand-in for the tests: one device, one context at a time, and packets that the
// test scripts through StandInPlay instead of a pen. Entry points the board does not need answer
// as a driver without those features would.
#include "tests/lmboard2_control/wintab/WintabStandIn.h"

#include <cstring>
#include <deque>
#include <mutex>
#include <utility>

namespace
{
std::mutex g_lock;
HWND g_hWnd = nullptr;
HCTX g_hCtx = nullptr;
WT_LOGCONTEXTA g_context{};
bool g_bEnabled = false;
UINT g_nNextSerial = 1;
std::deque<std::pair<UINT, WT_BOARD_PACKET>> g_queue; // (serial, packet), oldest first
int g_nCtxTag = 0;                                    // its address is the context handle

template <class T> UINT Answer(LPVOID pOut, const T& value)
{
    if (pOut) std::memcpy(pOut, &value, sizeof value);
    return sizeof value;
}

WT_LOGCONTEXTA DefaultContext()
{
    WT_LOGCONTEXTA lc{};
    std::strcpy(lc.lcName, "Stand-in default");
    lc.lcMsgBase = WT_PACKET;
    lc.lcPktData = kPkX | kPkY | kPkButtons;
    lc.lcMoveMask = lc.lcPktData;
    lc.lcBtnDnMask = lc.lcBtnUpMask = 0xFFFFFFFF;
    lc.lcInExtX = lc.lcInExtY = lc.lcOutExtX = lc.lcOutExtY = kStandInAxisMax;
    lc.lcSysMode = FALSE;
    lc.lcSysExtX = GetSystemMetrics(SM_CXSCREEN);
    lc.lcSysExtY = GetSystemMetrics(SM_CYSCREEN);
    return lc;
}

bool IsOpen(HCTX hCtx)
{
    return hCtx && hCtx == g_hCtx;
}

// Drops the queued packets up to and including serial; false when it is not queued.
bool TakePacket(UINT nSerial, WT_BOARD_PACKET* pOut)
{
    while (!g_queue.empty() && g_queue.front().first != nSerial)
        g_queue.pop_front();
    if (g_queue.empty()) return false;
    if (pOut) *pOut = g_queue.front().second;
    g_queue.pop_front();
    return true;
}
} // namespace

extern "C"
{

    __declspec(dllexport) UINT WINAPI WTInfoA(UINT wCategory, UINT nIndex, LPVOID lpOutput)
    {
        switch (wCategory)
        {
        case 0:
            return sizeof(WT_LOGCONTEXTA); // the largest answer: a device is present
        case kWtiDefContext:
            return Answer(lpOutput, DefaultContext());
        case kWtiDevices:
            if (nIndex == kDvcName)
            {
                if (lpOutput) std::memcpy(lpOutput, kStandInDeviceName, sizeof kStandInDeviceName);
                return sizeof kStandInDeviceName;
            }
            if (nIndex == kDvcX || nIndex == kDvcY)
                return Answer(lpOutput, WT_AXIS{0, kStandInAxisMax, 0, 0});
            return 0;
        default:
            return 0;
        }
    }

    __declspec(dllexport) HCTX WINAPI WTOpenA(HWND hWnd, WT_LOGCONTEXTA* lpLogCtx, BOOL fEnable)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (g_hCtx || !lpLogCtx || !IsWindow(hWnd)) return nullptr;
        g_hWnd = hWnd;
        g_context = *lpLogCtx;
        g_bEnabled = fEnable != FALSE;
        g_hCtx = reinterpret_cast<HCTX>(&g_nCtxTag);
        g_queue.clear();
        return g_hCtx;
    }

    __declspec(dllexport) BOOL WINAPI WTClose(HCTX hCtx)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (!IsOpen(hCtx)) return FALSE;
        g_hCtx = nullptr;
        g_hWnd = nullptr;
        g_queue.clear();
        return TRUE;
    }

    __declspec(dllexport) BOOL WINAPI WTPacket(HCTX hCtx, UINT wSerial, LPVOID lpPkt)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        return IsOpen(hCtx) && TakePacket(wSerial, static_cast<WT_BOARD_PACKET*>(lpPkt));
    }

    __declspec(dllexport) BOOL WINAPI WTGetA(HCTX hCtx, WT_LOGCONTEXTA* lpLogCtx)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (!IsOpen(hCtx) || !lpLogCtx) return FALSE;
        *lpLogCtx = g_context;
        return TRUE;
    }

    __declspec(dllexport) BOOL WINAPI WTSetA(HCTX hCtx, WT_LOGCONTEXTA* lpLogCtx)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (!IsOpen(hCtx) || !lpLogCtx) return FALSE;
        g_context = *lpLogCtx;
        return TRUE;
    }

    __declspec(dllexport) BOOL WINAPI WTEnable(HCTX hCtx, BOOL fEnable)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (!IsOpen(hCtx)) return FALSE;
        g_bEnabled = fEnable != FALSE;
        return TRUE;
    }

    __declspec(dllexport) BOOL WINAPI WTOverlap(HCTX hCtx, BOOL)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        return IsOpen(hCtx);
    }

    // One device, no saved state and no configuration dialog or extensions.
    __declspec(dllexport) BOOL WINAPI WTSave(HCTX, LPVOID)
    {
        return FALSE;
    }

    __declspec(dllexport) HCTX WINAPI WTRestore(HWND, LPVOID, BOOL)
    {
        return nullptr;
    }

    __declspec(dllexport) BOOL WINAPI WTConfig(HCTX, HWND)
    {
        return FALSE;
    }

    __declspec(dllexport) BOOL WINAPI WTExtGet(HCTX, UINT, LPVOID)
    {
        return FALSE;
    }

    __declspec(dllexport) BOOL WINAPI WTExtSet(HCTX, UINT, LPVOID)
    {
        return FALSE;
    }

    __declspec(dllexport) BOOL WINAPI WTQueueSizeSet(HCTX hCtx, int nPkts)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        return IsOpen(hCtx) && nPkts > 0;
    }

    // Copies the queued packets with serials from wBegin to wEnd; their count.
    __declspec(dllexport) int WINAPI
        WTDataPeek(HCTX hCtx, UINT wBegin, UINT wEnd, int cMaxPkts, LPVOID lpPkts, UINT* lpNPkts)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        int n = 0;
        if (IsOpen(hCtx))
            for (const auto& [serial, packet] : g_queue)
                if (serial >= wBegin && serial <= wEnd && n < cMaxPkts)
                {
                    if (lpPkts) static_cast<WT_BOARD_PACKET*>(lpPkts)[n] = packet;
                    n++;
                }
        if (lpNPkts) *lpNPkts = static_cast<UINT>(n);
        return n;
    }

    // Takes up to cMaxPkts of the oldest queued packets.
    __declspec(dllexport) int WINAPI WTPacketsGet(HCTX hCtx, int cMaxPkts, LPVOID lpPkts)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        int n = 0;
        while (IsOpen(hCtx) && !g_queue.empty() && n < cMaxPkts)
        {
            if (lpPkts) static_cast<WT_BOARD_PACKET*>(lpPkts)[n] = g_queue.front().second;
            g_queue.pop_front();
            n++;
        }
        return n;
    }

    __declspec(dllexport) BOOL WINAPI StandInPlay(const WT_BOARD_PACKET* pPackets, UINT nCount)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (!g_hCtx || !g_bEnabled) return FALSE;
        for (UINT i = 0; i < nCount; i++)
        {
            UINT nSerial = g_nNextSerial++;
            g_queue.emplace_back(nSerial, pPackets[i]);
            PostMessageW(g_hWnd, g_context.lcMsgBase, nSerial, reinterpret_cast<LPARAM>(g_hCtx));
        }
        return TRUE;
    }

    __declspec(dllexport) BOOL WINAPI StandInContext(WT_LOGCONTEXTA* pContext)
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (!g_hCtx) return FALSE;
        *pContext = g_context;
        return TRUE;
    }
}
