// The zero-filled heap buffer: allocation failures give an empty buffer, never an exception.
#include "confclient/library/LMBuffer.h"

#include <cstdlib>
#include <cstring>

uint8_t* CLMBuffer::Alloc(size_t nSize)
{
    Free();
    if (nSize == 0) return nullptr;
    m_pData = static_cast<uint8_t*>(calloc(nSize, 1));
    m_nCapacity = m_pData ? nSize : 0;
    return m_pData;
}

uint8_t* CLMBuffer::ReAlloc(size_t nSize)
{
    if (m_nCapacity == 0) return Alloc(nSize);
    if (nSize == 0)
    {
        Free();
        return nullptr;
    }
    auto* pData = static_cast<uint8_t*>(realloc(m_pData, nSize));
    if (!pData)
    {
        // Keeping a block the caller believes resized is worse than having none.
        Free();
        return nullptr;
    }
    if (nSize > m_nCapacity) memset(pData + m_nCapacity, 0, nSize - m_nCapacity);
    m_pData = pData;
    m_nCapacity = nSize;
    return m_pData;
}

uint8_t* CLMBuffer::Reserve(size_t nSize)
{
    if (m_nCapacity == 0) return Alloc(nSize);
    if (m_nCapacity < nSize) return ReAlloc(nSize);
    return m_pData;
}

void CLMBuffer::Free()
{
    free(m_pData);
    m_pData = nullptr;
    m_nCapacity = 0;
    m_nLength = 0;
}
