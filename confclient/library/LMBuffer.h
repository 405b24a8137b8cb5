// A zero-filled heap byte buffer that never raises: a failed allocation leaves it empty.
#pragma once
#include <cstddef>
#include <cstdint>

class CLMBuffer
{
public:
    CLMBuffer() = default;
    explicit CLMBuffer(size_t nSize) { Alloc(nSize); }
    ~CLMBuffer() { Free(); }
    CLMBuffer(const CLMBuffer&) = delete;
    CLMBuffer& operator=(const CLMBuffer&) = delete;

    // Frees the present block, then allocates n zero-filled bytes; null and capacity 0 on failure.
    uint8_t* Alloc(size_t nSize);
    // Grows or shrinks the block, zero-filling new bytes; a failure frees the old block too.
    uint8_t* ReAlloc(size_t nSize);
    // Makes room for n bytes; a block that is large enough is returned untouched.
    uint8_t* Reserve(size_t nSize);
    // Frees the block; pointer, capacity and length become 0.
    void Free();

    uint8_t* GetData() const { return m_pData; }
    size_t GetCapacity() const { return m_nCapacity; }
    // The used length, which every reset sets to 0; the owner keeps it.
    size_t GetLength() const { return m_nLength; }
    void SetLength(size_t nLength) { m_nLength = nLength; }

private:
    uint8_t* m_pData = nullptr;
    size_t m_nCapacity = 0;
    size_t m_nLength = 0;
};
