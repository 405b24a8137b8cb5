// Board message header, builder and reader.
#include "lmboard2/boardmsg/BoardMessage.h"

#include <algorithm>

#include "core/ByteReader.h"
#include "lmboard2/boardbase/BoardName.h"

S_BOARD_MSGHDR S_BOARD_MSGHDR::Read(const uint8_t* p)
{
    ByteReader r(p, kBoardMsgHeaderSize);
    S_BOARD_MSGHDR h;
    h.byCode = r.U8(); // the byte at 1 is not part of the code
    r.Skip(1);
    h.wValue = r.U16();
    h.dwPayloadLen = r.U32();
    for (char16_t& c : h.szName)
        c = r.U16();
    return h;
}

void S_BOARD_MSGHDR::Write(uint8_t* p) const
{
    p[0] = byCode;
    p[1] = 0;
    p[2] = static_cast<uint8_t>(wValue);
    p[3] = static_cast<uint8_t>(wValue >> 8);
    for (int i = 0; i < 4; ++i)
        p[4 + i] = static_cast<uint8_t>(dwPayloadLen >> (8 * i));
    for (size_t i = 0; i < 32; ++i)
    {
        p[8 + 2 * i] = static_cast<uint8_t>(szName[i]);
        p[9 + 2 * i] = static_cast<uint8_t>(szName[i] >> 8);
    }
}

CBoardMessage::CBoardMessage(uint8_t byCode, std::u16string_view name, uint16_t wValue)
{
    m_bytes.reserve(kBoardMsgMax);
    S_BOARD_MSGHDR h;
    h.byCode = byCode;
    h.wValue = wValue;
    std::copy_n(name.begin(), std::min<size_t>(name.size(), 31), h.szName);
    m_bytes.resize(kBoardMsgHeaderSize);
    h.Write(m_bytes.data());
}

void CBoardMessage::PutNameU16(size_t nOffset, uint16_t v)
{
    if (nOffset + 2 > 64) return;
    m_bytes[8 + nOffset] = static_cast<uint8_t>(v);
    m_bytes[9 + nOffset] = static_cast<uint8_t>(v >> 8);
}

void CBoardMessage::PutNameU32(size_t nOffset, uint32_t v)
{
    if (nOffset + 4 > 64) return;
    for (int i = 0; i < 4; ++i)
        m_bytes[8 + nOffset + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool CBoardMessage::Room(size_t n)
{
    if (m_bSpoiled || n > kBoardMsgBuffer - m_bytes.size())
    {
        m_bSpoiled = true;
        return false;
    }
    return true;
}

void CBoardMessage::AppendU8(uint8_t v)
{
    if (Room(1)) m_bytes.push_back(v);
}

void CBoardMessage::AppendU16(uint16_t v)
{
    if (!Room(2)) return;
    m_bytes.push_back(static_cast<uint8_t>(v));
    m_bytes.push_back(static_cast<uint8_t>(v >> 8));
}

void CBoardMessage::AppendU32(uint32_t v)
{
    if (!Room(4)) return;
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void CBoardMessage::AppendBytes(const void* p, size_t n)
{
    if (!p || n == 0 || !Room(n)) return;
    const uint8_t* b = static_cast<const uint8_t*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
}

void CBoardMessage::AppendString(std::u16string_view s)
{
    s = s.substr(0, s.find(u'\0')); // the string ends at its first NUL, as its reader sees it
    if (!Room((s.size() + 1) * 2)) return;
    for (char16_t c : s)
        AppendU16(c);
    AppendU16(0);
}

std::optional<std::vector<uint8_t>> CBoardMessage::Finish()
{
    if (m_bSpoiled) return std::nullopt;
    uint32_t nPayload = static_cast<uint32_t>(m_bytes.size() - kBoardMsgHeaderSize);
    for (int i = 0; i < 4; ++i)
        m_bytes[4 + i] = static_cast<uint8_t>(nPayload >> (8 * i));
    return std::move(m_bytes);
}

std::optional<std::u16string> BoardMessageView::SafeName() const
{
    return SafeNameFromField(hdr.szName);
}

std::optional<BoardMessageView> ReadBoardMessage(const uint8_t* pData, size_t nLen)
{
    if (!pData || nLen < kBoardMsgHeaderSize) return std::nullopt;
    BoardMessageView v;
    v.hdr = S_BOARD_MSGHDR::Read(pData);
    if (v.hdr.dwPayloadLen > nLen - kBoardMsgHeaderSize) return std::nullopt;
    v.pPayload = pData + kBoardMsgHeaderSize;
    return v;
}
