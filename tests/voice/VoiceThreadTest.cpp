// Received voice arrives on another thread while the owner closes and re-creates the engine,
// and while the engine mixes and users leave; an engine's teardown may close its slot again.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/voice/VoiceTestRig.h"
#include "confclient/media/VoiceSlot.h"

TEST(VoiceThreads, ReceivingRacesCloseAndReinit)
{
    FakeVoiceClock clock;
    Talker alice(clock, 7, 440, 8000);
    alice.engine.TalkStart();
    for (int i = 0; i < 20; ++i)
        alice.CaptureBlock();
    ASSERT_FALSE(alice.events.packets.empty());

    RecordedVoiceEvents events;
    CVoiceSlot<CVoiceEngine> slot;
    std::atomic<bool> bStop{false};
    std::thread receiver(
        [&]
        {
            size_t i = 0;
            while (!bStop)
            {
                const std::vector<uint8_t>& p = alice.events.packets[i++ % alice.events.packets.size()];
                slot.With([&](CVoiceEngine& e) { e.OnRecvVoice(p.data(), p.size()); });
            }
        });
    for (int round = 0; round < 200; ++round)
    {
        slot.Reset(std::make_unique<CVoiceEngine>(events, clock, 2, 100));
        for (int b = 0; b < 4; ++b)
        {
            clock.now += 10;
            int16_t block[kVoiceBlockSamples];
            slot.Get()->RenderBlock(block);
        }
        if (round % 3 == 0) slot.Get()->OnUserOut(7);
        slot.Reset();
    }
    bStop = true;
    receiver.join();
}

// Closing the sound devices lets the system deliver messages to the closing thread, and one of
// them may close the room's voice again while the first close is still deleting the engine.
TEST(VoiceThreads, AnEngineBeingDeletedMayCloseItsSlotAgain)
{
    struct Reentrant
    {
        CVoiceSlot<Reentrant>* pSlot;
        ~Reentrant() { pSlot->Reset(); }
    };
    CVoiceSlot<Reentrant> slot;
    slot.Reset(std::make_unique<Reentrant>(Reentrant{&slot}));
    slot.Reset();
    EXPECT_EQ(slot.Get(), nullptr);
}
