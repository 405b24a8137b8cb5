// The board transfer's strip: file position, percentage, remaining time and bandwidth.
#include <gtest/gtest.h>

#include "confclient/boardhost/TransferProgress.h"
#include "core/Utf8Text.h"

namespace
{
TransferTexts Texts()
{
    return {u"Upload", u"Remaining", u"h", u"m", u"s", u"Bandwidth"};
}

TEST(TransferProgress, PercentRemainingTimeAndRate)
{
    CTransferProgress p(false, Texts());
    EXPECT_EQ(Utf8Of(p.FileText(2, 5)), "Upload (2/5)");
    p.Begin(1000000, 10000);
    struct Row
    {
        uint32_t nBytes, nNow;
        int nPercent;
        const char* text; // null: no text this time
    };
    const Row rows[] = {
        {100000, 10100, 10, nullptr}, // too soon for a text
        // 1 s for 200000 bytes: 4 s to go; (200000 + 96) bytes in 1 s.
        {100000, 11000, 20, "Remaining 4s / Bandwidth  1.5 Mbps"},
        {100000, 11200, 30, nullptr},
        // 500 s for 400000 bytes: 750 s to go.
        {100000, 510000, 40, "Remaining 12m 30s / Bandwidth  6.3 Kbps"},
    };
    for (const Row& r : rows)
    {
        std::optional<CTransferProgress::Step> s = p.OnBytes(r.nBytes, r.nNow);
        ASSERT_TRUE(s) << r.nNow;
        EXPECT_EQ(s->nPercent, r.nPercent) << r.nNow;
        if (r.text)
            EXPECT_EQ(s->text ? Utf8Of(*s->text) : "", r.text) << r.nNow;
        else
            EXPECT_FALSE(s->text) << r.nNow;
    }
    EXPECT_EQ(p.Remaining(), 600000u);
    // Hours when it is slow; more than the total is ignored.
    p.Begin(100000000, 0);
    std::optional<CTransferProgress::Step> s = p.OnBytes(10000, 1000);
    ASSERT_TRUE(s && s->text);
    EXPECT_EQ(Utf8Of(*s->text).substr(0, 22), "Remaining 2h 46m 39s /");
    EXPECT_FALSE(p.OnBytes(200000000, 3000));
    // Nothing before a total, and no rate over no time.
    CTransferProgress q(true, Texts());
    EXPECT_FALSE(q.OnBytes(10, 0));
    q.Begin(100, 0);
    s = q.OnBytes(10, 0);
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->text);
}
} // namespace
