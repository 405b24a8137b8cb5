// Control-panel frames: round trip, stream splits, and refusal of malformed input.
#include <gtest/gtest.h>

#include "confclient/network/control/PanelFrames.h"

TEST(PanelFrames, RoundTripAcrossAnySplit)
{
    std::vector<uint8_t> stream = EncodePanelFrame({PanelFrameType::Command, "JOIN", "12"});
    std::vector<uint8_t> second = EncodePanelAnswer("CONNECT", 1601);
    stream.insert(stream.end(), second.begin(), second.end());

    for (size_t split = 0; split <= stream.size(); ++split)
    {
        CPanelFrameReader reader;
        std::vector<S_PANELFRAME> got = reader.Feed(stream.data(), split);
        std::vector<S_PANELFRAME> rest = reader.Feed(stream.data() + split, stream.size() - split);
        got.insert(got.end(), rest.begin(), rest.end());
        ASSERT_EQ(2u, got.size()) << split;
        EXPECT_EQ(PanelFrameType::Command, got[0].type);
        EXPECT_EQ("JOIN", got[0].keyword);
        EXPECT_EQ("12", got[0].arguments);
        EXPECT_EQ(PanelFrameType::Answer, got[1].type);
        EXPECT_EQ("CONNECT", got[1].keyword);
        EXPECT_EQ("1601", got[1].arguments);
        EXPECT_EQ(0u, reader.Held());
    }
    std::vector<uint8_t> bare = EncodePanelFrame({PanelFrameType::Command, "QUIT", ""});
    EXPECT_EQ((std::vector<uint8_t>{'@', 'C', 4, 0, 'Q', 'U', 'I', 'T'}), bare);
}

TEST(PanelFrames, MalformedInputDropsWhatIsHeld)
{
    struct
    {
        const char* what;
        std::vector<uint8_t> bytes;
    } rows[] = {
        {"bad mark", {'#', 'C', 4, 0, 'Q', 'U', 'I', 'T'}},
        {"unknown type", {'@', 'X', 4, 0, 'Q', 'U', 'I', 'T'}},
        {"body too long", {'@', 'C', 0x01, 0x04}},
        {"lower-case keyword", {'@', 'C', 4, 0, 'q', 'u', 'i', 't'}},
        {"empty keyword", {'@', 'C', 2, 0, ' ', '1'}},
        {"control byte", {'@', 'C', 5, 0, 'Q', 'U', 'I', 'T', '\n'}},
    };
    for (const auto& r : rows)
    {
        CPanelFrameReader reader;
        EXPECT_TRUE(reader.Feed(r.bytes.data(), r.bytes.size()).empty()) << r.what;
        EXPECT_EQ(1u, reader.DroppedCount()) << r.what;
        EXPECT_EQ(0u, reader.Held()) << r.what;
        std::vector<uint8_t> good = EncodePanelFrame({PanelFrameType::Command, "LOGOUT", ""});
        EXPECT_EQ(1u, reader.Feed(good.data(), good.size()).size())
            << r.what; // the next good frame gets through
    }
}
