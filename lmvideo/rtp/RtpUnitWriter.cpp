// Coded units back to back in a caller's buffer.
#include "lmvideo/rtp/RtpUnitWriter.h"

uint8_t* RtpUnitWriter::BeginUnit(size_t nMaxBytes)
{
    if (m_bError || m_nUnits >= m_nMaxUnits || nMaxBytes > m_nCapacity - m_nUsed)
    {
        m_bError = true;
        return nullptr;
    }
    return m_pBuffer + m_nUsed;
}

void RtpUnitWriter::EndUnit(size_t nBytes)
{
    m_pSizes[m_nUnits++] = static_cast<uint32_t>(nBytes);
    m_nUsed += nBytes;
}
