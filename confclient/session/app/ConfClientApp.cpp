// Start-up and exit of the program.
#include "confclient/session/app/ConfClientApp.h"
#include "winui/WideText.h"

#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "comkit/RegistrationCheck.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/session/maindlg/ConfClientDlg.h"
#include "confclient/session/startup/LaunchString.h"
#include "confclient/session/startup/StartupRules.h"

namespace
{
HANDLE g_hMutex = nullptr;

// How long a second start waits for the running instance before giving up on it.
constexpr UINT kHandOffTimeoutMs = 5000;

bool FileExists(const std::wstring& path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}
} // namespace

std::wstring CConfClientApp::ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    size_t slash = s.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : s.substr(0, slash);
}

void CConfClientApp::SetStartError(const wchar_t* pszKey)
{
    wcsncpy(StartErrorKey, pszKey, 31);
    StartErrorKey[31] = 0;
    StartError = TRUE;
}

BOOL CConfClientApp::HandOff(HWND hRunning)
{
    DWORD dwCode = HandOffCode(U16Of(m_szCmdLine));
    COPYDATASTRUCT cds{};
    cds.dwData = dwCode;
    cds.cbData = static_cast<DWORD>(m_szCmdLine.size() * sizeof(wchar_t));
    cds.lpData = const_cast<wchar_t*>(m_szCmdLine.c_str());
    DWORD_PTR result = 0;
    // A hung first instance must not hang this start as well.
    if (!SendMessageTimeoutW(hRunning, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, kHandOffTimeoutMs, &result))
        return FALSE;
    if (dwCode == COPYDATA_PLAY) SetForegroundWindow(hRunning);
    return TRUE;
}

BOOL CConfClientApp::InitInstance()
{
    OleInitialize(nullptr);

    g_hMutex = CreateMutexW(nullptr, TRUE, L"TQA_CONF_SYSTEM");
    bool bExisted = GetLastError() == ERROR_ALREADY_EXISTS;

    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    ExeName = WideOf(ProgramName(GetFileStem(U16Of(exe))));
    m_szFolder = ProgramFolder();

    if (bExisted)
    {
        DWORD dwLogout = RegReadDword(HKEY_CURRENT_USER, kRegCommonKey, L"Logout_State", 0);
        // The running program's boxes carry its name too; its main dialog is the one without an owner.
        HWND hRunning = FindWindowW(L"#32770", ExeName.c_str());
        while (hRunning && GetWindow(hRunning, GW_OWNER))
            hRunning = FindWindowExW(nullptr, hRunning, L"#32770", ExeName.c_str());
        if (hRunning && !m_szCmdLine.empty())
        {
            if (dwLogout == 0)
            {
                if (HandOff(hRunning)) return FALSE;
                m_startNotes.push_back(L"the running instance did not take the command line");
            }
            else
                LoggingOutInstance = TRUE;
        }
        else if (dwLogout == 0)
            SetStartError(L"IDS_MUTEX");
    }
    else
    {
        // A crash during a logout can leave the flag set; with the mutex new, no instance is logging out.
        RegWriteDword(HKEY_CURRENT_USER, kRegCommonKey, L"Logout_State", 0);
    }

    RegistryKey = L"Software\\LumoraSoft\\" + ExeName;

    if (SelectResourceDll()) ResourceModule = LoadLibraryW((m_szFolder + L"\\" + ResourceDll).c_str());
    if (!ResourceModule)
    {
        MessageBoxW(nullptr, L"can't load resource DLL\r\nplease, Download resource Dll", ExeName.c_str(),
                    MB_OK);
        return FALSE;
    }
    AfxSetResourceHandle(ResourceModule);

    RichEditModule = LoadLibraryW(L"riched20.dll");
    if (!RichEditModule) SetStartError(L"IDS_NOTSTART");

    CoInitialize(nullptr);

    CConfClientDlg dlg;
    dlg.SetStartInfo(m_szFolder, m_szCmdLine, ExeName);

    if (!StartError && !RegisterControls(L"LMVideoU.ocx LMBoardU.ocx", m_szFolder))
    {
        wchar_t sys[MAX_PATH] = {};
        SHGetSpecialFolderPathW(nullptr, sys, CSIDL_SYSTEM, FALSE);
        SetStartError(FileExists(std::wstring(sys) + L"\\regsvr32.exe") ? L"IDS_NOTREGSVR"
                                                                        : L"IDS_FINDREGSVR32");
    }
    if (StartError) dlg.SetStartError(StartErrorKey);
    for (const std::wstring& note : m_startNotes)
        dlg.AddStartNote(note);

    dlg.DoModal();
    return FALSE;
}

int CConfClientApp::ExitInstance()
{
    if (ResourceModule)
    {
        AfxSetResourceHandle(m_hInstance);
        FreeLibrary(ResourceModule);
        ResourceModule = nullptr;
    }
    if (RichEditModule)
    {
        FreeLibrary(RichEditModule);
        RichEditModule = nullptr;
    }
    if (g_hMutex)
    {
        ReleaseMutex(g_hMutex);
        CloseHandle(g_hMutex);
        g_hMutex = nullptr;
    }
    CoUninitialize();
    OleUninitialize();
    return CWinApp::ExitInstance();
}

WORD CConfClientApp::GetSystemLangId()
{
    std::wstring s = RegReadString(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\International", L"AcceptLanguage", L"");
    return LangIdFromAcceptLanguage(U16Of(s), GetUserDefaultLangID());
}

BOOL CConfClientApp::SelectResourceDll()
{
    std::u16string cmd = U16Of(m_szCmdLine);
    std::u16string szField = LaunchField(cmd, 8), szKind = LaunchField(cmd, 7);
    auto exists = [&](const std::u16string& name)
    { return PathFileExistsW((m_szFolder + L"\\" + WideOf(name)).c_str()) != FALSE; };
    auto firstWithPrefix = [&](std::u16string_view prefix) -> std::optional<std::u16string>
    {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((m_szFolder + L"\\*.*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return std::nullopt;
        std::optional<std::u16string> found;
        do
        {
            std::u16string name = U16Of(fd.cFileName);
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                name.compare(0, prefix.size(), prefix) == 0)
                found = name;
        } while (!found && FindNextFileW(h, &fd));
        FindClose(h);
        return found;
    };
    std::optional<std::u16string> dll =
        ChooseResourceDll(szField, szKind, cmd, GetSystemLangId(), exists, firstWithPrefix);
    if (!dll) return FALSE;
    ResourceDll = WideOf(*dll);
    return TRUE;
}

BOOL CConfClientApp::IsEngOrGerResource() const
{
    return ResourceDll.find(L"RoriVuz_Eng") != std::wstring::npos ||
           ResourceDll.find(L"RoriVuz_Ger") != std::wstring::npos;
}

BOOL CConfClientApp::IsVistaOrLater()
{
    OSVERSIONINFOEXW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&vi)))
    {
        vi.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&vi))) return FALSE;
    }
    return vi.dwMajorVersion >= 6;
}

BOOL CConfClientApp::RegisterControls(const std::wstring& szFiles, const std::wstring& szFolder)
{
    std::wstring args;
    bool bAllHere = true;
    size_t pos = 0;
    while (pos < szFiles.size())
    {
        size_t end = szFiles.find(L' ', pos);
        std::wstring file = szFiles.substr(pos, end == std::wstring::npos ? std::wstring::npos : end - pos);
        pos = end == std::wstring::npos ? szFiles.size() : end + 1;
        if (file.empty()) continue;
        // A control that is not in the program folder cannot be registered from it: start without it.
        if (!FileExists(szFolder + L"\\" + file))
        {
            m_startNotes.push_back(L"control " + file +
                                   L" is not in the program folder; starting without it");
            continue;
        }
        args += L"\"" + szFolder + L"\\" + file + L"\" ";
        std::wstring stem = WideOf(GetFileStem(U16Of(file)));
        bool bOcx = file.size() > 4 && _wcsicmp(file.c_str() + file.size() - 4, L".ocx") == 0;
        if (bOcx && bAllHere && !IsControlRegisteredHere(stem, szFolder)) bAllHere = false;
    }
    if (bAllHere) return TRUE;
    args += L"/s";

    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    sei.lpVerb = IsVistaOrLater() ? L"runas" : L"open";
    sei.lpFile = L"regsvr32";
    sei.lpParameters = args.c_str();
    sei.nShow = SW_SHOWNORMAL;
    DWORD dwResult = 0;
    if (!ShellExecuteExW(&sei) || !sei.hProcess)
        dwResult = 6;
    else
    {
        if (WaitForSingleObject(sei.hProcess, INFINITE) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(sei.hProcess, &dwResult))
            dwResult = 7;
        CloseHandle(sei.hProcess);
    }
    return dwResult == 0;
}
