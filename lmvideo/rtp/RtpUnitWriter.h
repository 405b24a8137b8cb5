// Coded units laid back to back in a caller's buffer with each unit's byte count beside
// them: the layout of an encoder's output record. Running out of room or of unit slots
// is a sticky error; nothing is written past either.
#pragma once
#include <cstddef>
#include <cstdint>

class RtpUnitWriter
{
public:
    RtpUnitWriter(uint8_t* pBuffer, size_t nCapacity, uint32_t* pSizes, size_t nMaxUnits)
        : m_pBuffer(pBuffer), m_nCapacity(pBuffer ? nCapacity : 0), m_pSizes(pSizes),
          m_nMaxUnits(pSizes ? nMaxUnits : 0)
    {
    }

    bool Ok() const { return !m_bError; }
    size_t UnitCount() const { return m_nUnits; }
    size_t ByteCount() const { return m_nUsed; }

    // Room for one unit of up to nMaxBytes, or null (and the error) when there is none.
    uint8_t* BeginUnit(size_t nMaxBytes);
    // Closes the unit begun last at nBytes (at most what was asked for).
    void EndUnit(size_t nBytes);

private:
    uint8_t* m_pBuffer;
    size_t m_nCapacity;
    uint32_t* m_pSizes;
    size_t m_nMaxUnits;
    size_t m_nUnits = 0;
    size_t m_nUsed = 0;
    bool m_bError = false;
};
