// The session's save folder, its text saver (the room chat's and the memo pad's), the board's
// document-open dialog and the language of its texts.
#include <commdlg.h>
#include <shlobj.h>

#include "confclient/boardhost/RoomBoard.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/toolkit/controls/RichEditCtrlGS.h"
#include "winui/WideText.h"
#include "winui/WinApp.h"

std::wstring IConfDlg::SaveFolder() const
{
    std::wstring szFolder =
        WideOf(CRegistrySettings(m_szExeName).ReadString(SettingsKey::Program, u"SavePath", u""));
    if (!szFolder.empty()) return szFolder;
    // No folder chosen in the settings yet: the user's documents.
    wchar_t szDocuments[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, szDocuments)))
        return szDocuments;
    return {};
}

bool IConfDlg::SaveChatToFile(HWND hRichEdit, HWND hParent)
{
    wchar_t szFile[MAX_PATH] = {};
    const std::wstring szFolder = SaveFolder();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hParent;
    ofn.lpstrFilter = L"Text file (*.txt)\0*.txt\0";
    ofn.lpstrFile = szFile;
    // Room for the extension added below.
    ofn.nMaxFile = MAX_PATH - 4;
    ofn.lpstrInitialDir = szFolder.empty() ? nullptr : szFolder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_PATHMUSTEXIST;
    if (!::GetSaveFileNameW(&ofn)) return false;
    std::wstring szPath = szFile;
    if (szPath.size() < 4 || _wcsicmp(szPath.c_str() + szPath.size() - 4, L".txt") != 0) szPath += L".txt";
    CRichEditCtrlGS text;
    text.Attach(hRichEdit);
    return text.WriteTextFile(szPath);
}

void IConfDlg::OpenBoardDocument()
{
    CRoomBoard* pRoomBoard = m_pMainView ? m_pMainView->Board() : nullptr;
    if (!pRoomBoard || !pRoomBoard->IsCreated()) return;
    wchar_t szFile[MAX_PATH] = {};
    const std::wstring szFolder = SaveFolder();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_pMainView->m_hWnd;
    ofn.lpstrFilter = L"Pictures (*.bmp;*.gif;*.jpg;*.jpeg;*.png)\0*.bmp;*.gif;*.jpg;*.jpeg;*.png\0"
                      L"All files (*.*)\0*.*\0";
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = szFolder.empty() ? nullptr : szFolder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    if (!::GetOpenFileNameW(&ofn)) return;
    AddLog(LOG_INFO, L"[BOARD] opening %s", szFile);
    pRoomBoard->Board().Load(szFile, 3, 1);
}

bool IConfDlg::GermanTexts() const
{
    wchar_t szModule[MAX_PATH] = {};
    ::GetModuleFileNameW(AfxGetResourceHandle(), szModule, MAX_PATH);
    return wcsstr(szModule, L"RoriVuz_Ger") != nullptr;
}
