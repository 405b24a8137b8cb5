// Board message and page header layouts by offset, and the reader's checks.
#include <gtest/gtest.h>

#include "lmboard2/boardbase/BoardFileHeader.h"
#include "lmboard2/boardmsg/BoardMessage.h"
#include "tests/lmboard2_core/SockBoardFakes.h"

TEST(BoardMessage, HeaderFieldsSitAtTheirOffsets)
{
    CBoardMessage msg(60, u"Page_001", 0x1234);
    msg.AppendU32(0xA1B2C3D4);
    std::vector<uint8_t> b = *msg.Finish();
    ASSERT_EQ(76u, b.size());
    EXPECT_EQ(60, b[0]);
    EXPECT_EQ(0, b[1]);
    EXPECT_EQ(0x34, b[2]);
    EXPECT_EQ(0x12, b[3]);
    EXPECT_EQ(4u, U32At(b, 4));
    EXPECT_EQ('P', b[8]);
    EXPECT_EQ(0, b[9]);
    EXPECT_EQ('1', b[8 + 2 * 7]);
    EXPECT_EQ(0, b[8 + 2 * 8]); // terminator
    EXPECT_EQ(0xA1B2C3D4u, U32At(b, 72));

    std::optional<BoardMessageView> v = ReadBoardMessage(b.data(), b.size());
    ASSERT_TRUE(v);
    EXPECT_EQ(60, v->hdr.byCode);
    EXPECT_EQ(0x1234, v->hdr.wValue);
    EXPECT_EQ(u"Page_001", v->SafeName());
    EXPECT_EQ(b.data() + 72, v->pPayload);
}

TEST(BoardMessage, NameIsCutTo31UnitsAndCodeIsTheFirstByteAlone)
{
    CBoardMessage msg(1, std::u16string(40, u'n'));
    std::vector<uint8_t> b = *msg.Finish();
    EXPECT_EQ('n', b[8 + 2 * 30]);
    EXPECT_EQ(0, b[8 + 2 * 31]);
    b[1] = 0x77; // a stray second byte does not change the code
    EXPECT_EQ(1, ReadBoardMessage(b.data(), b.size())->hdr.byCode);
}

TEST(BoardMessage, ReaderRefusesWhatDidNotArrive)
{
    std::vector<uint8_t> b = *CBoardMessage(31, u"P_001").Finish();
    EXPECT_FALSE(ReadBoardMessage(b.data(), 71));
    EXPECT_FALSE(ReadBoardMessage(nullptr, 72));
    b[4] = 1; // claims a byte of payload that is not there
    EXPECT_FALSE(ReadBoardMessage(b.data(), b.size()));
    b.push_back(9);
    EXPECT_TRUE(ReadBoardMessage(b.data(), b.size()));
}

TEST(BoardMessage, OversizedMessageIsNeverFinished)
{
    CBoardMessage msg(53, u"Agenda");
    std::vector<uint8_t> big(kBoardMsgBuffer - kBoardMsgHeaderSize + 1, 1);
    msg.AppendBytes(big.data(), big.size());
    EXPECT_FALSE(msg.Finish().has_value());
}

TEST(BoardFileHeader, FieldsSitAtTheirOffsetsAndRoundTrip)
{
    S_BOARD_FILEHDR h;
    h.dwSize = 0x01020304;
    h.dwReserved = 0xCAFEBABE;
    h.byKind = PAGE_DOCUMENT;
    h.bySubPage = 2;
    h.dwNumber = 17;
    S_BOARD_FILEHDR::SetText(h.szName, u"Conf_003");
    S_BOARD_FILEHDR::SetText(h.szTitle, u"Title");
    S_BOARD_FILEHDR::SetText(h.szCaption, std::u16string(50, u'c'));
    uint8_t raw[kBoardFileHeaderSize];
    std::fill(std::begin(raw), std::end(raw), 0xEE);
    h.Write(raw);
    std::vector<uint8_t> b(raw, raw + sizeof raw);
    EXPECT_EQ(0x01020304u, U32At(b, 0));
    EXPECT_EQ(0xCAFEBABEu, U32At(b, 4));
    EXPECT_EQ(15, b[8]);
    EXPECT_EQ(2, b[9]);
    EXPECT_EQ(0, b[10]);
    EXPECT_EQ(0, b[11]);
    EXPECT_EQ(17u, U32At(b, 12));
    EXPECT_EQ('C', b[16]);
    EXPECT_EQ('T', b[80]);
    EXPECT_EQ('c', b[144 + 2 * 30]);
    EXPECT_EQ(0, b[144 + 2 * 31]);
    EXPECT_EQ(0, b[207]);

    S_BOARD_FILEHDR back = S_BOARD_FILEHDR::Read(raw);
    EXPECT_EQ(h.dwSize, back.dwSize);
    EXPECT_EQ(h.dwReserved, back.dwReserved);
    EXPECT_EQ(h.byKind, back.byKind);
    EXPECT_EQ(h.bySubPage, back.bySubPage);
    EXPECT_EQ(h.dwNumber, back.dwNumber);
    EXPECT_EQ(u"Conf_003", S_BOARD_FILEHDR::Text(back.szName));
    EXPECT_EQ(u"Title", S_BOARD_FILEHDR::Text(back.szTitle));
    EXPECT_EQ(std::u16string(31, u'c'), S_BOARD_FILEHDR::Text(back.szCaption));
}
