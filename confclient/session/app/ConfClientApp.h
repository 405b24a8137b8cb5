// The application object: one running instance, the language library, the
// rich-edit library and the controls' registration, then the main dialog.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "winui/WinApp.h"

class CConfClientApp : public CWinApp
{
public:
    // The text after the program's own name on the command line.
    explicit CConfClientApp(std::wstring szCmdLine) : m_szCmdLine(std::move(szCmdLine)) {}

    BOOL InitInstance() override;
    int ExitInstance() override;
    void WinHelpW(DWORD_PTR, UINT) {}

    BOOL SelectResourceDll();
    WORD GetSystemLangId();
    BOOL RegisterControls(const std::wstring& szFiles, const std::wstring& szFolder);
    BOOL IsEngOrGerResource() const;
    static BOOL IsVistaOrLater();
    static std::wstring ProgramFolder();

    std::wstring RegistryKey;
    std::wstring ResourceDll;
    std::wstring ExeName;
    BOOL StartError = FALSE;
    BOOL LoggingOutInstance = FALSE;
    wchar_t StartErrorKey[32] = {};
    HMODULE RichEditModule = nullptr;
    HMODULE ResourceModule = nullptr;

private:
    // Hands the command line to the running instance; TRUE when it took it.
    BOOL HandOff(HWND hRunning);
    void SetStartError(const wchar_t* pszKey);

    std::wstring m_szCmdLine;
    std::wstring m_szFolder;
    // Lines for the log, which starts with the main dialog.
    std::vector<std::wstring> m_startNotes;
};
