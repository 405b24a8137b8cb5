// A session for the media-share view under test: its own record and rights, texts and pictures
// from the loaded language library, and every request kept as a line in calls.
#pragma once
#include <string>
#include <vector>

#include "confclient/room/MediaShareHost.h"
#include "tests/notices/TestNoticeHost.h"

class CFakeMediaShareHost : public IMediaShareHost
{
public:
    QNMediaShareRecord record;
    uint16_t wMyIndex = 30;
    bool bRight = false;
    bool bPlayback = false;
    int nMediaMode = 3;
    bool bFullScreen = false;
    HWND hSender = nullptr;
    SShareExtensions extensions;
    std::vector<std::wstring> calls;
    CTestNoticeHost notices;

    QNMediaShareRecord& ShareRecord() override { return record; }
    uint16_t ShareMyUserIndex() const override { return wMyIndex; }
    bool HasMediaShareRight() const override { return bRight; }
    bool IsSharePlayback() const override { return bPlayback; }
    int ShareMediaMode() const override { return nMediaMode; }
    const SShareExtensions& ShareExtensions() const override { return extensions; }
    bool ShareKeepsSending() const override { return false; }
    bool ShareFullScreen() const override { return bFullScreen; }
    HWND CreateShareSender(HWND) override { return hSender; }
    void SendShareState() override { calls.push_back(L"566 " + std::to_wstring(record.dwFlags)); }
    void ResetShareVoice() override { calls.push_back(L"voice reset"); }
    void FocusRoom() override {}
    void ShowShareBox(const std::wstring& szText, bool bModal) override
    {
        calls.push_back((bModal ? L"box " : L"modeless box ") + szText);
    }
    INoticeHost& ShareNotices() override { return notices; }
};
