// The log folder "<program folder>\Log" on Windows, and the wide printf-style front of the session log.
#pragma once
#include <windows.h>

#include <cstdarg>
#include <string>

#include "confclient/network/log/LogWriter.h"

class CWinLogFolder : public ILogFolder
{
public:
    // szProgramFolder: the folder below which "Log" lives (by default the program's own).
    explicit CWinLogFolder(std::wstring szProgramFolder = ProgramFolder());
    ~CWinLogFolder() override { Close(); }

    SLogTime LocalTime() override;
    std::vector<std::u16string> ListFiles() override;
    void RemoveFile(const std::u16string& name) override;
    bool Open(const std::u16string& name) override;
    bool Append(const std::string& bytes) override;
    void Close() override;
    std::string ToAnsi(std::u16string_view text, size_t nMaxBytes) override;

    const std::wstring& LogFolder() const { return m_szLogFolder; }
    // The folder of the running program's executable.
    static std::wstring ProgramFolder();

private:
    std::wstring m_szLogFolder;
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};

// IConfDlg::AddLog's body: formats printf-style (wide, "%s" takes a wide string) only when
// the line will be written, cut at the line limit, and hands it to the session log.
void AddLogV(CSessionLog& log, int nLevel, const wchar_t* pszFormat, va_list args);
void AddLogF(CSessionLog& log, int nLevel, const wchar_t* pszFormat, ...);
