// The log folder over Win32 files, and the wide formatting front.
#include "confclient/network/log/WinLogFolder.h"
#include "winui/WideText.h"

#include <cwchar>

CWinLogFolder::CWinLogFolder(std::wstring szProgramFolder)
    : m_szLogFolder(std::move(szProgramFolder) + L"\\Log")
{
}

std::wstring CWinLogFolder::ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n < MAX_PATH ? n : 0);
    size_t nSlash = s.find_last_of(L"\\/");
    return nSlash == std::wstring::npos ? L"." : s.substr(0, nSlash);
}

SLogTime CWinLogFolder::LocalTime()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

std::vector<std::u16string> CWinLogFolder::ListFiles()
{
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW((m_szLogFolder + L"\\*.*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE) return names;
    do
    {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue; // also "." and ".."
        std::wstring name = fd.cFileName;
        names.emplace_back(name.begin(), name.end());
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
    return names;
}

void CWinLogFolder::RemoveFile(const std::u16string& name)
{
    DeleteFileW((m_szLogFolder + L"\\" + WideOf(name)).c_str());
}

bool CWinLogFolder::Open(const std::u16string& name)
{
    Close();
    if (!CreateDirectoryW(m_szLogFolder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    m_hFile =
        CreateFileW((m_szLogFolder + L"\\" + WideOf(name)).c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return m_hFile != INVALID_HANDLE_VALUE;
}

bool CWinLogFolder::Append(const std::string& bytes)
{
    if (m_hFile == INVALID_HANDLE_VALUE) return false;
    // Another program may write the shared file too: always append at its current end.
    SetFilePointer(m_hFile, 0, nullptr, FILE_END);
    DWORD nWritten = 0;
    return WriteFile(m_hFile, bytes.data(), DWORD(bytes.size()), &nWritten, nullptr) &&
           nWritten == bytes.size();
}

void CWinLogFolder::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

std::string CWinLogFolder::ToAnsi(std::u16string_view text, size_t nMaxBytes)
{
    std::wstring wide = WideOf(text);
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    if (out.size() > nMaxBytes) out.resize(nMaxBytes); // a longer line is cut, not dropped
    return out;
}

void AddLogV(CSessionLog& log, int nLevel, const wchar_t* pszFormat, va_list args)
{
    if (!pszFormat || !log.Wants(nLevel)) return;
    wchar_t text[kLogTextUnits + 1];
    // The C runtime's own formatter: "%s" takes a wide string, as the program's log lines expect.
    int n = _vsnwprintf(text, kLogTextUnits, pszFormat, args);
    text[kLogTextUnits] = 0;
    size_t nLen = n < 0 ? wcsnlen(text, kLogTextUnits) : size_t(n);
    log.AddText(nLevel, std::u16string_view(reinterpret_cast<const char16_t*>(text), nLen));
}

void AddLogF(CSessionLog& log, int nLevel, const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    AddLogV(log, nLevel, pszFormat, args);
    va_end(args);
}
