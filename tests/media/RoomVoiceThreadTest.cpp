// Received voice reaches the room's voice on the receive thread while the bar closes and
// re-creates the engine.
#include <gtest/gtest.h>

#include <thread>

#include "tests/media/RoomVoiceRig.h"

TEST(RoomVoiceThreads, ReceivedVoiceRacesCloseAndReinit)
{
    RoomVoiceRig rig;
    CRoomVoice& voice = rig.Start();
    std::vector<uint8_t> packet = {1, 1, RoomVoiceRig::kOther, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFC};
    std::atomic<bool> bStop{false};
    std::thread receiver(
        [&]
        {
            while (!bStop)
                voice.PlayReceivedVoice(RoomVoiceRig::kOtherChannel, packet.data(), packet.size());
        });
    for (int i = 0; i < 301; ++i)
    {
        if (i % 2)
            voice.ReinitVoice();
        else
            voice.CloseVoice();
    }
    bStop = true;
    receiver.join();
    EXPECT_EQ(voice.InitResult(), 1);
}
