// The room payload codec: every record survives a round trip, every decoder
// refuses an empty or short payload and ignores trailing bytes, and the counts
// and lengths a peer states never reach past its payload.
#include <gtest/gtest.h>

#include <functional>

#include "confclient/network/QNRoomPayloads.h"
#include "core/ByteWriter.h"
#include "tests/network/FieldText.h"

namespace
{
using Decode = std::function<bool(const uint8_t*, size_t)>;

template <typename Rec, typename Enc> Bytes Enc1(Enc enc, const Rec& r)
{
    Bytes b;
    enc(r, b);
    return b;
}

struct Case
{
    const char* pszName;
    Bytes bytes;
    size_t nMin; // the shortest payload the decoder takes
    Decode decode;
};

// A record that comes back with every field of its description equal.
template <typename Rec>
Case RoundTrip(const char* pszName, Rec r, void (*encode)(const Rec&, Bytes&),
               bool (*decode)(const uint8_t*, size_t, Rec&), size_t nMin)
{
    return {pszName, Enc1(encode, r), nMin,
            [r, decode](const uint8_t* p, size_t n)
            {
                Rec out;
                if (!decode(p, n, out)) return false;
                EXPECT_EQ(FieldsText(r), FieldsText(out));
                return FieldsText(r) == FieldsText(out);
            }};
}

std::vector<Case> Cases()
{
    std::vector<QNViewName> names = {{3, u"Alice"}, {7, std::u16string(80, u'n')}};
    static const uint8_t kBlock[] = {1, 2, 3, 4, 5};
    return {
        {"360 view names", Enc1(EncodeViewNames, names), 4 + 2 * kViewNameEntrySize,
         [](const uint8_t* p, size_t n)
         {
             std::vector<QNViewName> v;
             return DecodeViewNames(p, n, v) && v.size() == 2 && v[0].wChannel == 3 &&
                    v[0].szName == u"Alice" && v[1].wChannel == 7 && v[1].szName.size() == 63;
         }},
        RoundTrip("382 room type", QNRoomType{9, 4, 0x80000001}, EncodeRoomType, DecodeRoomType, 8),
        RoundTrip("442 channel change", QNChannelChange{12, 3, 5}, EncodeChannelChange, DecodeChannelChange,
                  6),
        RoundTrip("481 user status", QNUserStatus{2, 7, 0x10203}, EncodeUserStatus, DecodeUserStatus, 8),
        RoundTrip("491 record notice", QNRecordNotice{4, RECORDNOTICE_FAIL}, EncodeRecordNotice,
                  DecodeRecordNotice, 4),
        RoundTrip("505 server record", QNServerRecordLocal{RECORDNOTICE_START, u"talk"},
                  EncodeServerRecordLocal, DecodeServerRecordLocal, 132),
        RoundTrip("511 camera control", QNCamControl{6, CAMCONTROL_MOVE, 3}, EncodeCamControl,
                  DecodeCamControl, 6),
        {"534, 535 audio settings",
         Enc1(EncodeAudioSettings, QNAudioSettings{2, 3, 4, 50, 60, 2, 3, 2, 2, 15}), 13,
         [](const uint8_t* p, size_t n)
         {
             QNAudioSettings r;
             return DecodeAudioSettings(p, n, r) && r.wKind == 2 && r.wRequester == 3 && r.wTarget == 4 &&
                    r.bMicVolume == 50 && r.bSpeakerVolume == 60 && r.bMicBoost == 2 && r.bMic == 3 &&
                    r.bMute == 2 && r.bVideo == 2 && r.bFrameRate == 15 && p[4] == 4 && p[12] == 15;
         }},
        {"536 float video", Enc1(EncodeFloatVideo, QNFloatVideo{1, 0x0102}), 3,
         [](const uint8_t* p, size_t n)
         {
             QNFloatVideo r;
             return DecodeFloatVideo(p, n, r) && r.nMode == 1 && r.wChannel == 0x0102 && p[1] == 0x02;
         }},
        RoundTrip("537 seat", QNSeat{3, 1, 320, 240}, EncodeSeat, DecodeSeat, 8),
        RoundTrip("539 maximize", QNMaximize{1, 1}, EncodeMaximize, DecodeMaximize, 3),
        RoundTrip("545 recorder state", QNRecorderState{9, 1, 4}, EncodeRecorderState, DecodeRecorderState,
                  6),
        RoundTrip("547 user option", QNUserOption{2, 8, 0xDEADBEEF}, EncodeUserOption, DecodeUserOption, 8),
        RoundTrip("552 presenter", QNPresenterRequest{PRESENTER_ANSWER, 3, 1}, EncodePresenterRequest,
                  DecodePresenterRequest, 6),
        RoundTrip("565 media-share record",
                  QNMediaShareRecord{0x03200A26, 7, 7200, u"C:\\films\\MOVIE.MP4", 1}, EncodeMediaShareRecord,
                  DecodeMediaShareRecord, kMediaShareRecordSize),
        {"610/612 message", Enc1(EncodeMessage, QNMessage{11, u"hello", 12}), 8,
         [](const uint8_t* p, size_t n)
         {
             QNMessage r;
             return DecodeMessage(p, n, r) && r.wSenderIndex == 11 && r.wReceiverIndex == 12 &&
                    r.szText == u"hello" && p[6] == 12;
         }},
        {"620/622 file offer", Enc1(EncodeFileOffer, QNFileOffer{9999, 11, 40, u"a.pdf"}), 528,
         [](const uint8_t* p, size_t n)
         {
             QNFileOffer r;
             return DecodeFileOffer(p, n, r) && r.wSenderIndex == 11 && r.wReceiverIndex == 40 &&
                    r.dwFileSize == 9999 && r.szFileName == u"a.pdf" && p[4] == 11 && p[6] == 40 &&
                    p[8] == u'a';
         }},
        {"630/632 file reply", Enc1(EncodeFileReply, QNFileReply{kFileReplyAccepted, 11, 40}), 528,
         [](const uint8_t* p, size_t n)
         {
             QNFileReply r;
             return DecodeFileReply(p, n, r) && r.dwFlags == kFileReplyAccepted && r.wSenderIndex == 11 &&
                    r.wReceiverIndex == 40 && p[2] == 1;
         }},
        {"640/642 file data", Enc1(EncodeFileData, QNFileData{11, 40, kBlock, sizeof kBlock}), 13,
         [](const uint8_t* p, size_t n)
         {
             QNFileData r;
             return DecodeFileData(p, n, r) && r.wSenderIndex == 11 && r.wReceiverIndex == 40 &&
                    r.nData == 5 && r.pData == p + 8 && r.pData[4] == 5 && p[0] == 5;
         }},
        {"650/652 invitation", Enc1(EncodeInvitation, QNInvitation{70000, 11, 12}), 8,
         [](const uint8_t* p, size_t n)
         {
             QNInvitation r;
             return DecodeInvitation(p, n, r) && r.dwRoomIndex == 70000 && r.wInviterIndex == 11 &&
                    r.wInviteeIndex == 12 && p[4] == 11 && p[6] == 12;
         }},
        {"901 private data", Enc1(EncodePrivateData, QNPrivateData{2, u"book"}), 12,
         [](const uint8_t* p, size_t n)
         {
             QNPrivateData r;
             return DecodePrivateData(p, n, r) && r.wKind == 2 && r.szText == u"book";
         }},
        {"731 draw tool", Bytes{0, 0, 0x78, 0x56, 0x34, 0x12}, 6,
         [](const uint8_t* p, size_t n)
         {
             uint32_t v = 0;
             return DecodeDrawToolCommand(p, n, v) && v == 0x12345678;
         }},
    };
}
} // namespace

TEST(RoomPayloadCodec, RecordsRoundTripAndShortPayloadsAreRefused)
{
    for (const Case& c : Cases())
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_TRUE(c.decode(c.bytes.data(), c.bytes.size()));
        Bytes longer = c.bytes;
        longer.resize(longer.size() + 37, 0xEE);
        EXPECT_TRUE(c.decode(longer.data(), longer.size())) << "trailing bytes are ignored";
        EXPECT_FALSE(c.decode(nullptr, 0));
        EXPECT_FALSE(c.decode(c.bytes.data(), 0));
        ASSERT_GE(c.bytes.size(), c.nMin);
        // An exact-size copy, so that a read past the stated length is caught.
        Bytes shortBy1(c.bytes.begin(), c.bytes.begin() + c.nMin - 1);
        EXPECT_FALSE(c.decode(shortBy1.data(), shortBy1.size()));
    }
}

TEST(RoomPayloadCodec, ViewNameCountMustFitThePayloadAndTheViews)
{
    std::vector<QNViewName> v(49, QNViewName{1, u"x"});
    Bytes b;
    EncodeViewNames(v, b);
    ASSERT_EQ(4 + 49 * kViewNameEntrySize, b.size());
    std::vector<QNViewName> out;
    EXPECT_TRUE(DecodeViewNames(b.data(), b.size(), out));
    EXPECT_EQ(49u, out.size());
    EXPECT_FALSE(DecodeViewNames(b.data(), b.size() - 1, out)) << "the last entry is cut";

    // 50 entries on the wire: the whole list is refused, not the first 49 kept.
    b.resize(4 + 50 * kViewNameEntrySize, 0);
    b[0] = 50;
    EXPECT_FALSE(DecodeViewNames(b.data(), b.size(), out));
    b[0] = 0xFF;
    b[1] = 0xFF;
    EXPECT_FALSE(DecodeViewNames(b.data(), b.size(), out));
}

TEST(RoomPayloadCodec, MessageTextIsBoundedByPayloadLimitAndWholeUnits)
{
    struct
    {
        uint32_t dwStated;
        size_t nTextBytes;
        size_t nMax;
        size_t nUnits;
    } cases[] = {
        {10, 10, kMaxMessageBytes, 5},        // as stated
        {1000, 10, kMaxMessageBytes, 5},      // the stated length lies: the payload bounds it
        {7, 10, kMaxMessageBytes, 3},         // an odd length keeps whole units
        {10, 9, kMaxMessageBytes, 4},         // an odd payload too
        {4000, 4000, kMaxMessageBytes, 1005}, // the buffer's 2011 bytes, in whole units
        {0, 10, kMaxMessageBytes, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.dwStated);
        Bytes b;
        ByteWriter w(b);
        w.U32(c.dwStated).U16(3).U16(0);
        for (size_t i = 0; i < c.nTextBytes; ++i)
            w.U8(i % 2 ? 0 : 'a');
        QNMessage m;
        ASSERT_TRUE(DecodeMessage(b.data(), b.size(), m, c.nMax));
        EXPECT_EQ(3, m.wSenderIndex);
        EXPECT_EQ(c.nUnits, m.szText.size());
    }
}

TEST(RoomPayloadCodec, PrivateDataNeedsThePhoneBookKindAndAFittingLength)
{
    auto make = [](uint16_t wKind, uint16_t wLength, size_t nText)
    {
        Bytes b;
        ByteWriter w(b);
        w.U16(wKind).U16(wLength);
        for (size_t i = 0; i < nText; ++i)
            w.U8(i % 2 ? 0 : 'p');
        return b;
    };
    struct
    {
        const char* pszName;
        Bytes bytes;
        bool bOk;
        size_t nUnits;
    } cases[] = {
        {"whole", make(2, 8, 8), true, 4},        {"odd length keeps whole units", make(2, 7, 8), true, 3},
        {"one byte", make(2, 1, 2), true, 0},     {"other kind", make(1, 8, 8), false, 0},
        {"zero length", make(2, 0, 8), false, 0}, {"length past the payload", make(2, 9, 8), false, 0},
        {"header only", make(2, 2, 0), false, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        QNPrivateData r;
        EXPECT_EQ(c.bOk, DecodePrivateData(c.bytes.data(), c.bytes.size(), r));
        if (c.bOk)
        {
            EXPECT_EQ(c.nUnits, r.szText.size());
        }
    }
}

TEST(RoomPayloadCodec, FileDataStaysInsideThePayload)
{
    Bytes b;
    ByteWriter(b).U32(0xFFFFFFF0u).U16(1).U16(2).U8(9);
    QNFileData r;
    EXPECT_FALSE(DecodeFileData(b.data(), b.size(), r)) << "a count past the payload";
    b.clear();
    ByteWriter(b).U32(0).U16(1).U16(2);
    ASSERT_TRUE(DecodeFileData(b.data(), b.size(), r));
    EXPECT_EQ(0u, r.nData);
    EXPECT_EQ(nullptr, r.pData);
}

TEST(RoomPayloadCodec, MaximizeNeedsItsMarker)
{
    Bytes b = {2, 0, 1};
    QNMaximize r;
    EXPECT_FALSE(DecodeMaximize(b.data(), b.size(), r));
}

TEST(RoomPayloadCodec, BarCommandBytes)
{
    auto u16at = [](const Bytes& b, size_t i) { return static_cast<unsigned>(b[i] | b[i + 1] << 8); };
    auto u32at = [&](const Bytes& b, size_t i) { return u16at(b, i) | u16at(b, i + 2) << 16; };
    auto nonZero = [](const Bytes& b, std::initializer_list<std::pair<size_t, size_t>> fields)
    {
        // Every byte outside the given [from, to) ranges is 0.
        for (size_t i = 0; i < b.size(); ++i)
        {
            bool bField = false;
            for (auto [from, to] : fields)
                bField = bField || (i >= from && i < to);
            if (!bField && b[i] != 0) return i;
        }
        return b.size();
    };

    Bytes b;
    EncodeConfUpdate({0x11223344, 0x55667788, 0x99AABBCC, u"pw", std::u16string(128, u'T')}, b);
    ASSERT_EQ(kConfUpdateSize, b.size());
    EXPECT_EQ(0x11223344u, u32at(b, 14));
    EXPECT_EQ(0x55667788u, u32at(b, 18));
    EXPECT_EQ(0x99AABBCCu, u32at(b, 22));
    EXPECT_EQ(unsigned('p'), u16at(b, 154));
    EXPECT_EQ(unsigned('w'), u16at(b, 156));
    EXPECT_EQ(unsigned('T'), u16at(b, 418));
    EXPECT_EQ(b.size(), nonZero(b, {{14, 26}, {154, 158}, {418, 674}}));
    QNConfUpdate update;
    EXPECT_FALSE(DecodeConfUpdate(b.data(), b.size() - 1, update));
    ASSERT_TRUE(DecodeConfUpdate(b.data(), b.size(), update));
    EXPECT_EQ(u"pw", update.szPassword);

    b.clear();
    EncodeRoomTypeRequest({10, 49}, b);
    EXPECT_EQ((Bytes{10, 0, 49, 0}), Bytes(b.begin(), b.begin() + 4));
    EXPECT_EQ(kRoomTypeRequestSize, b.size());
    EXPECT_EQ(b.size(), nonZero(b, {{0, 4}}));

    b.clear();
    EncodeLectureCommand({100, 45}, b);
    EXPECT_EQ((Bytes{100, 0, 45, 0, 0, 0, 0, 0, 0, 0, 0, 0}), b);

    b.clear();
    EncodeSetPresenter(MakeSetPresenter(7, true), b);
    EXPECT_EQ((Bytes{7, 0, 1, 0, 0, 0}), b);
    b.clear();
    EncodeSetPresenter(MakeSetPresenter(7, false), b);
    EXPECT_EQ((Bytes{0xFF, 0xFF, 0, 0, 0, 0}), b);

    b.clear();
    EncodeMaximize({1, 1}, b);
    EXPECT_EQ((Bytes{1, 0, 1}), b);

    b.clear();
    EncodeRoomState({3, 1, 0, 1, 45}, b);
    EXPECT_EQ((Bytes{3, 0, 1, 0, 0, 0, 0, 0, 1, 0, 45, 0}), b);

    // The room option table follows the room record; a record without it offers no layouts.
    b.clear();
    EncodeRoomInfo(QNRoomInfo{}, b);
    EXPECT_TRUE(DecodeRoomOptions(b.data(), b.size()).empty());
    EncodeRoomOptions({{10, 49}, {0, 5}, {4, 300}}, b);
    ASSERT_EQ(kRoomInfoSize + 120, b.size());
    EXPECT_EQ(10u, u16at(b, kRoomInfoSize));
    EXPECT_EQ(300u, u16at(b, kRoomInfoSize + 10));
    EXPECT_EQ((std::vector<QNRoomOption>{{10, 49}, {4, 300}}), DecodeRoomOptions(b.data(), b.size()));
    EXPECT_TRUE(DecodeRoomOptions(b.data(), b.size() - 1).empty());
    QNRoomInfo info;
    EXPECT_TRUE(DecodeRoomInfo(b.data(), b.size(), info)) << "older readers ignore the table";
}

TEST(RoomPayloadCodec, RecordStateAndRecordSettingsBytes)
{
    Bytes b;
    EncodeRecordState({1, 0x1234}, b);
    EXPECT_EQ((Bytes{1, 0x34, 0x12}), b);
    QNRecordState state;
    EXPECT_FALSE(DecodeRecordState(b.data(), 2, state));
    ASSERT_TRUE(DecodeRecordState(b.data(), b.size(), state));
    EXPECT_EQ(0x1234, state.wUser);

    b.clear();
    EncodeRecorderState({9, 1, 4}, b);
    EXPECT_EQ((Bytes{9, 0, 1, 0, 4, 0}), b);

    // The settings stand after the record and its option table; a payload that ends before
    // them (an older server's) has none.
    b.assign(kRoomRecordSettingsOffset, 0);
    EXPECT_EQ(QNRoomRecordSettings{}, DecodeRoomRecordSettings(b.data(), b.size()));
    EncodeRoomRecordSettings({0, 0xFFFF, 0x2013}, b);
    EXPECT_EQ((Bytes{0, 0, 0xFF, 0xFF, 0x13, 0x20, 0, 0}), Bytes(b.end() - 8, b.end()));
    EXPECT_EQ((QNRoomRecordSettings{0, 0xFFFF, 0x2013}), DecodeRoomRecordSettings(b.data(), b.size()));
    EXPECT_EQ(QNRoomRecordSettings{}, DecodeRoomRecordSettings(nullptr, 0));
}

TEST(RoomPayloadCodec, MediaShareRecordBytesAndAPeersUnterminatedPath)
{
    QNMediaShareRecord r;
    r.SetPlay(MEDIASHARE_PLAYING);
    r.SetPosition(3725);
    r.SetVolume(80);
    r.SetMuted(true);
    r.wSharer = 0x0102;
    r.wLength = 7200;
    r.szPath = u"a.mp4";
    Bytes b;
    EncodeMediaShareRecord(r, b);
    ASSERT_EQ(kMediaShareRecordSize, b.size());
    EXPECT_EQ((Bytes{0xDA, 0xE8, 0x00, 0x05, 0x02, 0x01, 0x20, 0x1C, 'a', 0}),
              Bytes(b.begin(), b.begin() + 10));
    EXPECT_EQ((Bytes{1, 0, 0, 0}), Bytes(b.end() - 4, b.end())) << "the video bit of a fresh record";
    EXPECT_EQ(0, b[8 + 2 * 5]) << "the path ends with a zero unit";

    // A peer's path that fills all 260 units without a terminator is read within them.
    Bytes full = b;
    for (size_t i = 0; i < kMediaSharePathUnits; ++i)
    {
        full[8 + 2 * i] = 'x';
        full[9 + 2 * i] = 0;
    }
    QNMediaShareRecord out;
    ASSERT_TRUE(DecodeMediaShareRecord(full.data(), full.size(), out));
    EXPECT_EQ(std::u16string(kMediaSharePathUnits, u'x'), out.szPath);
    EXPECT_EQ(1u, out.dwHasVideo) << "the field after the path is read from its own place";
    EXPECT_FALSE(DecodeMediaShareRecord(full.data(), kMediaShareRecordSize - 1, out));
    // Written back, the path is cut to leave its terminator.
    Bytes again;
    EncodeMediaShareRecord(out, again);
    EXPECT_EQ(0, again[8 + 2 * 259] | again[9 + 2 * 259]);

    // Position and volume stay within their bits; the neighbours are untouched.
    QNMediaShareRecord c;
    c.SetPlay(MEDIASHARE_PAUSED);
    c.SetVolume(100);
    c.SetPosition(0x12345);
    EXPECT_EQ(0xFFFFu, c.Position());
    EXPECT_EQ(MEDIASHARE_PAUSED, c.Play());
    EXPECT_EQ(100u, c.Volume());
    c.SetVolume(500);
    EXPECT_EQ(100u, c.Volume());
    EXPECT_EQ(0xFFFFu, c.Position());

    // 566's payload is the flags alone.
    b.clear();
    EncodeU32(r.dwFlags, b);
    EXPECT_EQ((Bytes{0xDA, 0xE8, 0x00, 0x05}), b);
}

TEST(RoomPayloadCodec, PushNameEndsAtThePayloadOrItsField)
{
    struct Case
    {
        size_t nUnits;    // name units written after the head, no terminator
        size_t nOddBytes; // a trailing half unit
        size_t nExpected;
    } cases[] = {{300, 0, kTransferNameUnits}, {12, 1, 12}, {0, 0, 0}};
    for (const Case& c : cases)
    {
        Bytes b;
        ByteWriter w(b);
        w.U16(3).U32(10);
        for (size_t i = 0; i < c.nUnits; ++i)
            w.U16(u'x');
        for (size_t i = 0; i < c.nOddBytes; ++i)
            w.U8('y');
        QNPushFile r;
        ASSERT_TRUE(DecodePushFile(b.data(), b.size(), r));
        EXPECT_EQ(c.nExpected, r.szFileName.size()) << c.nUnits;
    }
    QNPushFile r;
    EXPECT_FALSE(DecodePushFile(Bytes(5).data(), 5, r)) << "a head too short";

    // The sent form: 526 bytes, the name's field from 6.
    Bytes b;
    EncodePushFile(QNPushFile{5, 70000, u"notes.txt"}, b);
    ASSERT_EQ(526u, b.size());
    EXPECT_EQ('n', b[6]);
    ASSERT_TRUE(DecodePushFile(b.data(), b.size(), r));
    EXPECT_EQ(5, r.wSender);
    EXPECT_EQ(70000u, r.dwFileSize);
    EXPECT_EQ(u"notes.txt", r.szFileName);

    // A block: the sender, then the bytes to the payload's end.
    const uint8_t block[] = {1, 2, 3};
    b.clear();
    EncodePushChunk(QNPushChunk{7, block, sizeof block}, b);
    QNPushChunk chunk;
    ASSERT_TRUE(DecodePushChunk(b.data(), b.size(), chunk));
    EXPECT_EQ(7, chunk.wSender);
    EXPECT_EQ(3u, chunk.nLength);
    EXPECT_EQ(b.data() + 2, chunk.pData);
    EXPECT_FALSE(DecodePushChunk(b.data(), 1, chunk));
}
