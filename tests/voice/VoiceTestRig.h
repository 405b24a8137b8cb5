// Engines on a hand-driven clock: talkers capture tones, the packets travel a scripted link,
// one listener renders; everything each engine reports is kept.
#pragma once
#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <memory>
#include <vector>

#include "volumora/core/VoiceEngine.h"

struct FakeVoiceClock : IVoiceClock
{
    std::atomic<VoiceMs> now{0};
    VoiceMs NowMs() const override { return now; }
};

struct RecordedVoiceEvents : IVoiceEvents
{
    std::vector<std::pair<uint16_t, int>> levels;
    std::vector<std::vector<uint8_t>> packets;
    std::map<int, size_t> recordBlocks; // channel -> blocks
    std::vector<size_t> recordSizes;
    void OnVoiceLevel(uint16_t wUser, int nLevel) override { levels.push_back({wUser, nLevel}); }
    void OnCapturedVoice(const uint8_t* p, size_t n) override { packets.emplace_back(p, p + n); }
    void OnDecodedVoice(int nChannel, const int16_t*, size_t nBytes) override
    {
        ++recordBlocks[nChannel];
        recordSizes.push_back(nBytes);
    }
};

struct Talker
{
    Talker(FakeVoiceClock& clock, uint16_t wUser, double dFrequency, double dAmplitude)
        : engine(events, clock, wUser, 100), dStep(2 * std::numbers::pi * dFrequency / kVoiceSampleRate),
          dAmplitude(dAmplitude)
    {
    }
    // One 10-ms block of the talker's tone, kept in the talker's own signal.
    void CaptureBlock()
    {
        int16_t block[kVoiceBlockSamples];
        for (int16_t& s : block)
        {
            s = static_cast<int16_t>(std::lround(dAmplitude * std::sin(dPhase)));
            dPhase += dStep;
        }
        signal.insert(signal.end(), block, block + kVoiceBlockSamples);
        engine.OnCaptureBlock(block);
    }
    RecordedVoiceEvents events;
    CVoiceEngine engine;
    double dStep, dAmplitude, dPhase = 0;
    std::vector<int16_t> signal;
};

// Runs nBlocks of 10 ms: each talker captures, its packets pass the link (which may drop,
// repeat or hold them), the listener renders.
struct VoiceRig
{
    FakeVoiceClock clock;
    RecordedVoiceEvents listenerEvents;
    CVoiceEngine listener{listenerEvents, clock, 2, 100};
    std::vector<std::unique_ptr<Talker>> talkers;
    std::vector<int16_t> heard;
    // Called for each packet with its number among all packets so far; returns how often it is delivered.
    std::function<int(size_t)> link = [](size_t) { return 1; };
    size_t nPackets = 0;

    Talker& AddTalker(uint16_t wUser, double dFrequency, double dAmplitude = 8000)
    {
        talkers.push_back(std::make_unique<Talker>(clock, wUser, dFrequency, dAmplitude));
        talkers.back()->engine.TalkStart();
        return *talkers.back();
    }

    void Run(int nBlocks)
    {
        for (int i = 0; i < nBlocks; ++i)
        {
            clock.now += 10;
            for (auto& t : talkers)
            {
                size_t nBefore = t->events.packets.size();
                t->CaptureBlock();
                for (size_t p = nBefore; p < t->events.packets.size(); ++p)
                    for (int n = link(nPackets++); n > 0; --n)
                        listener.OnRecvVoice(t->events.packets[p].data(), t->events.packets[p].size());
            }
            int16_t block[kVoiceBlockSamples];
            listener.RenderBlock(block);
            heard.insert(heard.end(), block, block + kVoiceBlockSamples);
        }
    }
};

// The best normalised correlation of b against a over lags of b from 0 to nMaxLag samples.
inline double BestCorrelation(const std::vector<int16_t>& a, size_t nFrom, size_t nCount,
                              const std::vector<int16_t>& b, size_t nMaxLag)
{
    double best = -1;
    for (size_t lag = 0; lag <= nMaxLag; lag += 2)
    {
        double ab = 0, aa = 0, bb = 0;
        for (size_t i = nFrom; i < nFrom + nCount && i + lag < b.size(); ++i)
        {
            ab += double(a[i]) * b[i + lag];
            aa += double(a[i]) * a[i];
            bb += double(b[i + lag]) * b[i + lag];
        }
        if (aa > 0 && bb > 0) best = std::max(best, ab / std::sqrt(aa * bb));
    }
    return best;
}

inline double Energy(const std::vector<int16_t>& s, size_t nFrom, size_t nCount)
{
    double e = 0;
    for (size_t i = nFrom; i < nFrom + nCount && i < s.size(); ++i)
        e += double(s[i]) * s[i];
    return e / double(nCount);
}
