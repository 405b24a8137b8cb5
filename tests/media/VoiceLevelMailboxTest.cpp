// Levels wait in the mailbox as the latest per user, and only the first after a take asks
// for a message.
#include <gtest/gtest.h>

#include "confclient/media/VoiceLevelMailbox.h"

TEST(VoiceLevelMailbox, LatestLevelPerUserAndOneMessageInFlight)
{
    CVoiceLevelMailbox box;
    EXPECT_TRUE(box.Put(7, 30));
    EXPECT_FALSE(box.Put(7, 50)) << "a message is already on its way";
    EXPECT_FALSE(box.Put(3, 20));
    EXPECT_FALSE(box.Put(7, 0)) << "the stop overwrites the level";
    EXPECT_EQ(box.Take(), (std::vector<std::pair<uint16_t, int>>{{3, 20}, {7, 0}}));
    EXPECT_TRUE(box.Take().empty());
    EXPECT_TRUE(box.Put(3, 40)) << "taken: the next level asks again";
}
