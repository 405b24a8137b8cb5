// A binary file with 64-bit positions, opened by a path that may hold any UTF-16 text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

class CBinFile
{
public:
    enum class Mode
    {
        Read,      // existing file, read only
        Create,    // new or emptied file, read and write
        ReadWrite, // existing file, read and write
    };

    CBinFile() = default;
    ~CBinFile() { Close(); }
    CBinFile(const CBinFile&) = delete;
    CBinFile& operator=(const CBinFile&) = delete;

    // nBufferBytes above 0 replaces the C runtime's small buffer (4 KiB) with one of that size.
    bool Open(const std::filesystem::path& path, Mode mode, size_t nBufferBytes = 0);
    void Close();
    bool IsOpen() const { return m_pFile != nullptr; }

    // Reads up to n bytes; returns how many were read.
    size_t Read(void* p, size_t n);
    // True when all n bytes were read.
    bool ReadAll(void* p, size_t n) { return Read(p, n) == n; }
    bool Write(const void* p, size_t n);
    bool Seek(uint64_t nPos);
    bool SeekEnd();
    uint64_t Tell() const;
    uint64_t Size();
    bool Flush();

private:
    enum class Op
    {
        None,
        Read,
        Write,
    };
    // The C runtime needs a positioning call between a write and a read: switch here.
    void Switch(Op op);

    std::FILE* m_pFile = nullptr;
    std::unique_ptr<char[]> m_buffer; // outlives the FILE that uses it
    Op m_lastOp = Op::None;
};
