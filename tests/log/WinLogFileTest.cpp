// A real daily log file under Windows: the folder is created, the file carries the banner and
// the formatted lines, the purge deletes a file of 40 days and keeps the others.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "confclient/network/log/WinLogFolder.h"

namespace
{
std::wstring DateStem(int nDaysBack)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    u.QuadPart -= ULONGLONG(nDaysBack) * 86400ULL * 10000000ULL;
    ft.dwLowDateTime = u.LowPart;
    ft.dwHighDateTime = u.HighPart;
    FileTimeToSystemTime(&ft, &st);
    wchar_t buf[16];
    swprintf(buf, 16, L"%04d%02d%02d", st.wYear, st.wMonth, st.wDay);
    return buf;
}

std::string ReadAll(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string s(GetFileSize(h, nullptr), '\0');
    DWORD n = 0;
    ReadFile(h, s.data(), DWORD(s.size()), &n, nullptr);
    CloseHandle(h);
    s.resize(n);
    return s;
}

void Touch(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
} // namespace

TEST(WinLogFile, DailyFileWithBannerAndPurge)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring program = std::wstring(temp) + L"QuillonLogTest" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(program.c_str(), nullptr);
    std::wstring log = program + L"\\Log";
    CreateDirectoryW(log.c_str(), nullptr);
    std::wstring old40 = log + L"\\Quillon_" + DateStem(40) + L".log";
    std::wstring old30 = log + L"\\Quillon_" + DateStem(30) + L".log";
    std::wstring notes = log + L"\\notes.txt";
    Touch(old40);
    Touch(old30);
    Touch(notes);
    CreateDirectoryW((log + L"\\Quillon_" + DateStem(50)).c_str(), nullptr); // a folder is never deleted

    CWinLogFolder folder(program);
    CSessionLog session;
    {
        CLogWriter writer(folder);
        ASSERT_EQ(1, writer.Start(u"Quillon", "INFO|ERROR"));
        AddLogF(session, LOG_INFO, L"[CMD_LOBY_LOGIN] IP:%s, Port:%d, ID:%s", L"127.0.0.1", 7000, L"kim");
        AddLogF(session, LOG_DEBUG, L"[DEBUG_ONLY] %d", 1);
        AddLogF(session, LOG_ALWAYS, L"[START] %s", std::wstring(3000, L'w').c_str());
        for (int i = 0; i < 200 && ReadAll(log + L"\\Quillon_" + DateStem(0) + L".log").find("[START]") ==
                                       std::string::npos;
             ++i)
            Sleep(10);
        writer.Stop();
    }

    std::string file = ReadAll(log + L"\\Quillon_" + DateStem(0) + L".log");
    EXPECT_EQ(0u, file.find("\r\n===================== LOG START ["));
    EXPECT_NE(std::string::npos,
              file.find("] [INFO]     [CMD_LOBY_LOGIN] IP:127.0.0.1, Port:7000, ID:kim\r\n"));
    EXPECT_EQ(std::string::npos, file.find("DEBUG_ONLY"));
    size_t nStart = file.find("] [ERROR]    [START] www");
    ASSERT_NE(std::string::npos, nStart);
    size_t nLineStart = file.rfind('\n', nStart) + 1;
    EXPECT_EQ(1023u + 2, file.size() - nLineStart); // cut to the line limit, then CRLF

    EXPECT_FALSE(Exists(old40));
    EXPECT_TRUE(Exists(old30));
    EXPECT_TRUE(Exists(notes));
    EXPECT_TRUE(Exists(log + L"\\Quillon_" + DateStem(50)));

    DeleteFileW(old30.c_str());
    DeleteFileW(notes.c_str());
    DeleteFileW((log + L"\\Quillon_" + DateStem(0) + L".log").c_str());
    RemoveDirectoryW((log + L"\\Quillon_" + DateStem(50)).c_str());
    RemoveDirectoryW(log.c_str());
    RemoveDirectoryW(program.c_str());
}
