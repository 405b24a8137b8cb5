// Download folder and send file on Windows.
#include "confclient/room/TransferFilesWin.h"

#include "confclient/network/registry/Registry.h"
#include "winui/WideText.h"

namespace
{
class CHandleFile : public IReceiveFile, public ISendFile
{
public:
    explicit CHandleFile(HANDLE h) : m_h(h) {}
    ~CHandleFile() override { ::CloseHandle(m_h); }
    size_t Write(const uint8_t* p, size_t n) override
    {
        DWORD dwDone = 0;
        if (!::WriteFile(m_h, p, static_cast<DWORD>(n), &dwDone, nullptr)) return 0;
        return dwDone;
    }
    size_t Read(uint8_t* p, size_t n) override
    {
        DWORD dwDone = 0;
        if (!::ReadFile(m_h, p, static_cast<DWORD>(n), &dwDone, nullptr)) return 0;
        return dwDone;
    }

private:
    HANDLE m_h;
};
} // namespace

CDownloadFolderWin::CDownloadFolderWin(std::wstring szFolder) : m_szFolder(std::move(szFolder))
{
    while (!m_szFolder.empty() && (m_szFolder.back() == L'\\' || m_szFolder.back() == L'/'))
        m_szFolder.pop_back();
}

IDownloadFolder::CreateResult CDownloadFolderWin::CreateNew(const std::u16string& szName,
                                                            std::unique_ptr<IReceiveFile>& file)
{
    const std::wstring szPath = WideOf(PathOf(szName));
    // CREATE_NEW never opens a file that is there; the file system's names ignore case.
    HANDLE h = ::CreateFileW(szPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
    {
        const DWORD dwError = ::GetLastError();
        return dwError == ERROR_FILE_EXISTS || dwError == ERROR_ALREADY_EXISTS ? CREATE_EXISTS
                                                                               : CREATE_FAILED;
    }
    file = std::make_unique<CHandleFile>(h);
    return CREATE_MADE;
}

void CDownloadFolderWin::Remove(const std::u16string& szName)
{
    ::DeleteFileW(WideOf(PathOf(szName)).c_str());
}

std::u16string CDownloadFolderWin::PathOf(const std::u16string& szName) const
{
    return std::u16string(m_szFolder.begin(), m_szFolder.end()) + u"\\" + szName;
}

size_t CDownloadFolderWin::NameRoom() const
{
    return m_szFolder.size() + 1 < kMaxPathUnits ? kMaxPathUnits - m_szFolder.size() - 1 : 0;
}

std::unique_ptr<ISendFile> OpenSendFile(const std::wstring& szPath, uint64_t& nSize)
{
    HANDLE h = ::CreateFileW(szPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(h, &size))
    {
        ::CloseHandle(h);
        return nullptr;
    }
    nSize = static_cast<uint64_t>(size.QuadPart);
    return std::make_unique<CHandleFile>(h);
}

uint32_t TransferPace(const std::wstring& szProgramKey)
{
    constexpr DWORD kPace = 131072;
    const DWORD dwTest = RegReadDword(HKEY_CURRENT_USER, szProgramKey.c_str(), L"TransferPaceTest", 0);
    return dwTest > kPace ? dwTest : kPace;
}
