// Binary files over the C runtime, with wide paths on Windows and 64-bit positions everywhere.
#include "confclient/network/record/BinFile.h"

bool CBinFile::Open(const std::filesystem::path& path, Mode mode, size_t nBufferBytes)
{
    Close();
#ifdef _WIN32
    const wchar_t* pszMode = mode == Mode::Read ? L"rb" : mode == Mode::Create ? L"w+b" : L"r+b";
    m_pFile = _wfopen(path.c_str(), pszMode);
#else
    const char* pszMode = mode == Mode::Read ? "rb" : mode == Mode::Create ? "w+b" : "r+b";
    m_pFile = std::fopen(path.c_str(), pszMode);
#endif
    m_lastOp = Op::None;
    if (m_pFile && nBufferBytes)
    {
        // The runtime may ignore the size when it allocates the buffer itself: hand it one.
        m_buffer = std::make_unique<char[]>(nBufferBytes);
        std::setvbuf(m_pFile, m_buffer.get(), _IOFBF, nBufferBytes);
    }
    return m_pFile != nullptr;
}

void CBinFile::Switch(Op op)
{
    if (m_lastOp != Op::None && m_lastOp != op) Seek(Tell());
    m_lastOp = op;
}

void CBinFile::Close()
{
    if (m_pFile) std::fclose(m_pFile);
    m_pFile = nullptr;
    m_buffer.reset();
}

size_t CBinFile::Read(void* p, size_t n)
{
    if (!m_pFile || !n) return 0;
    Switch(Op::Read);
    return std::fread(p, 1, n, m_pFile);
}

bool CBinFile::Write(const void* p, size_t n)
{
    if (!m_pFile) return false;
    if (n == 0) return true;
    Switch(Op::Write);
    return std::fwrite(p, 1, n, m_pFile) == n;
}

bool CBinFile::Seek(uint64_t nPos)
{
    if (!m_pFile) return false;
    m_lastOp = Op::None;
#ifdef _WIN32
    return _fseeki64(m_pFile, static_cast<long long>(nPos), SEEK_SET) == 0;
#else
    return fseeko(m_pFile, static_cast<off_t>(nPos), SEEK_SET) == 0;
#endif
}

bool CBinFile::SeekEnd()
{
    if (!m_pFile) return false;
    m_lastOp = Op::None;
#ifdef _WIN32
    return _fseeki64(m_pFile, 0, SEEK_END) == 0;
#else
    return fseeko(m_pFile, 0, SEEK_END) == 0;
#endif
}

uint64_t CBinFile::Tell() const
{
    if (!m_pFile) return 0;
#ifdef _WIN32
    long long n = _ftelli64(m_pFile);
#else
    off_t n = ftello(m_pFile);
#endif
    return n < 0 ? 0 : static_cast<uint64_t>(n);
}

uint64_t CBinFile::Size()
{
    uint64_t nPos = Tell();
    if (!SeekEnd()) return 0;
    uint64_t nSize = Tell();
    Seek(nPos);
    return nSize;
}

bool CBinFile::Flush()
{
    return m_pFile && std::fflush(m_pFile) == 0;
}
