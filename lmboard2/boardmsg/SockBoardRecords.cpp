// CSockBoard's drawing records: framing, storing before sending, and point records
// split where they would outgrow a board message.
#include <algorithm>

#include "core/ByteWriter.h"
#include "lmboard2/boardbase/BoardLogFont.h"
#include "lmboard2/boardmsg/SockBoard.h"

void CSockBoard::BeginRecord(uint8_t byType)
{
    FlushRecord(); // a record half built is sent, not overwritten
    bool bBrowser = byType == REC_BROWSER;
    m_rec.emplace(bBrowser ? BMSG_BROWSER_RECORD : BMSG_RECORD, bBrowser ? std::u16string_view() : m_strPage);
    m_byRecType = byType;
    m_rec->AppendU16(0); // the record length, written when finished
    m_rec->AppendU8(byType);
}

bool CSockBoard::FinishRecord()
{
    if (!m_rec) return false;
    CBoardMessage msg = std::move(*m_rec);
    m_rec.reset();
    uint16_t nRecLen = static_cast<uint16_t>(msg.Length() - kBoardMsgHeaderSize - 1);
    msg.Data()[kBoardMsgHeaderSize] = static_cast<uint8_t>(nRecLen);
    msg.Data()[kBoardMsgHeaderSize + 1] = static_cast<uint8_t>(nRecLen >> 8);
    msg.AppendU8(kRecordTerminator);
    std::optional<std::vector<uint8_t>> bytes = msg.Finish();
    if (!bytes) return false;
    const uint8_t* pRecord = bytes->data() + kBoardMsgHeaderSize;
    size_t nRecord = bytes->size() - kBoardMsgHeaderSize;
    if (m_byRecType != REC_BROWSER && !m_store.AppendRecord(m_strPage, pRecord, nRecord)) return false;
    m_owner.SendData(bytes->data(), bytes->size());
    return true;
}

void CSockBoard::FlushRecord()
{
    m_byContinueType = 0;
    if (m_rec) FinishRecord();
}

bool CSockBoard::SendClear()
{
    BeginRecord(REC_CLEAR);
    return FinishRecord();
}

bool CSockBoard::SendPointer(uint16_t x, uint16_t y)
{
    BeginRecord(REC_POINTER);
    m_rec->AppendU16(x);
    m_rec->AppendU16(y);
    return FinishRecord();
}

bool CSockBoard::SendScroll(uint16_t x, uint16_t y)
{
    BeginRecord(REC_SCROLL);
    m_rec->AppendU16(x);
    m_rec->AppendU16(y);
    return FinishRecord();
}

bool CSockBoard::SendStamp(uint16_t x, uint16_t y)
{
    BeginRecord(REC_STAMP);
    m_rec->AppendU16(x);
    m_rec->AppendU16(y);
    return FinishRecord();
}

bool CSockBoard::SendText(uint32_t dwColor, uint16_t left, uint16_t top, uint16_t right, uint16_t bottom,
                          const S_BOARD_LOGFONT& font, std::u16string_view text)
{
    // Longer text would make a record the page file refuses: what is sent must also be stored.
    size_t n = std::min(text.size(), kMaxTextUnits);
    if (n < text.size() && n > 0 && (text[n - 1] & 0xFC00) == 0xD800) --n;
    BeginRecord(REC_TEXT);
    m_rec->AppendU32(dwColor);
    m_rec->AppendU16(left);
    m_rec->AppendU16(top);
    m_rec->AppendU16(right);
    m_rec->AppendU16(bottom);
    std::vector<uint8_t> lf;
    ByteWriter w(lf);
    WriteLogFont(w, font);
    m_rec->AppendBytes(lf.data(), lf.size());
    m_rec->AppendString(text.substr(0, n));
    return FinishRecord();
}

bool CSockBoard::SendBrowserAddress(std::u16string_view address)
{
    BeginRecord(REC_BROWSER);
    m_rec->AppendString(address);
    for (int i = 0; i < 3; ++i)
        m_rec->AppendString(u"");
    return FinishRecord();
}

void CSockBoard::AddPenPoint(const BoardPen& pen, uint16_t x0, uint16_t y0, uint16_t x, uint16_t y,
                             bool bLast)
{
    AddPoint(REC_PEN, &pen, 0, x0, y0, x, y, bLast);
}

void CSockBoard::AddShapePoint(const BoardPen& pen, uint8_t byKind, uint16_t x0, uint16_t y0, uint16_t x,
                               uint16_t y, bool bLast)
{
    AddPoint(REC_SHAPE, &pen, byKind, x0, y0, x, y, bLast);
}

void CSockBoard::AddEraserPoint(uint16_t x, uint16_t y, bool bLast)
{
    AddPoint(REC_ERASER, nullptr, 0, 0, 0, x, y, bLast);
}

void CSockBoard::AddPoint(uint8_t byType, const BoardPen* pPen, uint8_t byKind, uint16_t x0, uint16_t y0,
                          uint16_t x, uint16_t y, bool bLast)
{
    if (m_rec && m_byRecType != byType) FlushRecord();
    if (!m_rec)
    {
        bool bContinue = m_byContinueType == byType;
        uint16_t start[2] = {x0, y0};
        if (bContinue)
        {
            // The continuation starts where the previous record stopped, so that the
            // segment joining them is drawn by every receiver and by replay.
            start[0] = m_ptLast[0];
            start[1] = m_ptLast[1];
        }
        BeginRecord(byType);
        if (pPen)
        {
            m_rec->AppendU8(pPen->byFluorescent);
            m_rec->AppendU32(pPen->dwColor);
            m_rec->AppendU8(pPen->byWidth);
            if (byType == REC_SHAPE) m_rec->AppendU8(byKind);
            m_rec->AppendU16(start[0]);
            m_rec->AppendU16(start[1]);
        }
    }
    m_rec->AppendU16(x);
    m_rec->AppendU16(y);
    m_ptLast[0] = x;
    m_ptLast[1] = y;
    if (bLast)
    {
        FinishRecord();
        m_byContinueType = 0;
    }
    else if (m_rec->Length() + 4 > kBoardMsgMax)
    {
        FinishRecord();
        m_byContinueType = byType;
    }
}
