// The session's save folder and its text saver, shared by the room chat and the memo pad.
#include <commdlg.h>
#include <shlobj.h>

#include "confclient/network/registry/Registry.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "confclient/toolkit/controls/RichEditCtrlGS.h"
#include "winui/WideText.h"

std::wstring IConfDlg::SaveFolder() const
{
    std::wstring szFolder = WideOf(CRegistrySettings(m_szExeName).ReadString(SettingsKey::Program, u"SavePath", u""));
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
