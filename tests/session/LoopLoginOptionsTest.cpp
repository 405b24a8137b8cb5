// The loopback server's login options for session tests: refusals and conference entries.
#include <gtest/gtest.h>

#include "loopserver/LoopConfig.h"

TEST(LoopLoginOptions, ConfigurationLines)
{
    LoopConfig cfg = DefaultLoopConfig();
    ASSERT_TRUE(ParseLoopConfig("refuselogin 1005 7\nconfentry 77 NOPE\nconfentry 1 ROOM1\n", cfg, nullptr));
    EXPECT_EQ(1005, cfg.wRefuseLoginReason);
    EXPECT_EQ(7, cfg.nRefuseLoginTimes);
    EXPECT_EQ((std::vector<std::u16string>{u"77\nNOPE", u"1\nROOM1"}), cfg.confEntries);

    for (const char* pszBad :
         {"refuselogin 1005", "refuselogin 70000 1", "refuselogin 1005 -1", "confentry 3"})
    {
        LoopConfig c = DefaultLoopConfig();
        int nLine = 0;
        EXPECT_FALSE(ParseLoopConfig(std::string("port 7000\n") + pszBad, c, &nLine)) << pszBad;
        EXPECT_EQ(2, nLine) << pszBad;
    }
}
