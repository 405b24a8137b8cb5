// A session for notice windows under test: texts from the loaded language library's table, skin
// pictures from its resources, and every action kept as a line in calls.
#pragma once
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "ResourceIds.h"
#include "confclient/notices/NoticeHost.h"
#include "confclient/session/texttable/TextTableResource.h"
#include "winui/WinApp.h"

class CTestNoticeHost : public INoticeHost
{
public:
    explicit CTestNoticeHost(HWND hMain = nullptr) : m_hMain(hMain)
    {
        LoadTextTableResource(AfxGetResourceHandle(), IDR_INI_TEXT, m_texts);
    }
    std::wstring NoticeText(const char* pszKey) const override
    {
        std::u16string text = m_texts.GetText(std::u16string(pszKey, pszKey + strlen(pszKey)));
        return std::wstring(text.begin(), text.end());
    }
    ILogSink* NoticeLog() override { return nullptr; }
    bool LoadSkinImage(const wchar_t*, CLMPictureEx&) override { return false; } // the resources stand in
    HWND MainRoomWindow() const override { return nullptr; }
    HWND MainDialog() const override { return m_hMain; }
    uint16_t SharingUser() const override { return wSharing; }
    uint16_t RequestedSharer() const override { return 0xFFFF; }
    uint16_t MyUserIndex() const override { return wMyIndex; }
    void SetSharingUser(uint16_t w) override { wSharing = w; }
    void SetDesktopShareState(uint16_t wUser, int nCode) override
    {
        calls.push_back(L"share " + std::to_wstring(wUser) + L" " + std::to_wstring(nCode));
    }
    void OnNoticeClosed() override { calls.push_back(L"notice closed"); }
    // The lobby knows one user: Alice at index 7.
    std::optional<std::wstring> FindLobbyUser(uint16_t w) const override
    {
        if (w == 7) return L"Alice";
        return std::nullopt;
    }
    void AcceptInvitation(uint16_t wRoom) override { calls.push_back(L"accept " + std::to_wstring(wRoom)); }
    void DeclineInvitation(uint16_t wInviter) override
    {
        calls.push_back(L"decline " + std::to_wstring(wInviter));
    }
    void RemoveInviteNotice(uint16_t wInviter, uint16_t wRoom) override
    {
        calls.push_back(L"removed " + std::to_wstring(wInviter) + L" " + std::to_wstring(wRoom));
    }
    std::wstring MyDisplayName() const override { return szMyName; }
    bool IsLocalSharer() const override { return false; }
    void StopLocalShare() override { calls.push_back(L"stop local share"); }
    void EndRemoteShare(uint16_t w) override { calls.push_back(L"end share " + std::to_wstring(w)); }

    std::vector<std::wstring> calls;
    uint16_t wSharing = 0xFFFF;
    uint16_t wMyIndex = 1;
    std::wstring szMyName = L"Alice";

private:
    HWND m_hMain;
    CTextTable m_texts;
};
