// The MP4 recorder natively: files read back with libavformat, the pending limits, the callbacks
// and the recorder's refusals.
#include "lmlibrary10/core/MP4RecorderWrapper.h"
#include "tests/medialib/MediaTestObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace
{
namespace fs = std::filesystem;

class CRecorderEvents : public ILMMP4RecorderCB
{
public:
    void OnReserved(int32_t, int32_t) override { ADD_FAILURE() << "OnReserved is never called"; }
    void OnOpened() override
    {
        signal.Notify([this] { ++nOpened; });
    }
    void OnVideoWritten() override
    {
        signal.Notify([this] { ++nVideo; });
        // A closed gate holds the recorder thread here, so that posts pile up.
        std::unique_lock<std::mutex> guard(signal.Lock());
        gate.wait(guard, [this] { return bGateOpen; });
    }
    void OnAudioWritten() override
    {
        signal.Notify([this] { ++nAudio; });
    }
    void OnClosed() override
    {
        signal.Notify([this] { ++nClosed; });
    }

    void OpenGate()
    {
        signal.Notify([this] { bGateOpen = true; });
        gate.notify_all();
    }
    bool WaitVideo(int n)
    {
        return signal.WaitUntil([&] { return nVideo >= n; });
    }

    CTestSignal signal;
    std::condition_variable gate;
    bool bGateOpen = true;
    int nOpened = 0, nVideo = 0, nAudio = 0, nClosed = 0;
};

struct RecorderFixture : ::testing::Test
{
    static constexpr int kWidth = 160, kHeight = 120, kRate = 15, kSampleRate = 16000;

    RecorderFixture() : sDir(fs::temp_directory_path() / ("quillon-rec-" + std::to_string(::getpid())))
    {
        fs::create_directories(sDir);
    }
    ~RecorderFixture() override
    {
        if (pRecorder) pRecorder->Destroy();
        fs::remove_all(sDir);
    }

    // Frame n: mid grey, bright on the first frame of each second (the flash).
    static std::vector<uint8_t> Frame(int n, int nWidth = kWidth, int nHeight = kHeight)
    {
        return std::vector<uint8_t>(static_cast<size_t>(nWidth) * nHeight * 4, n % kRate == 0 ? 0xF0 : 0x40);
    }
    // A block of nSamples: a 1 kHz tone when bBeep, else silence.
    static std::vector<uint8_t> Block(int nSamples, bool bBeep)
    {
        std::vector<uint8_t> block(static_cast<size_t>(nSamples) * 2);
        for (int i = 0; bBeep && i < nSamples; ++i)
        {
            const auto v = static_cast<int16_t>(12000 * std::sin(2 * M_PI * 1000 * i / kSampleRate));
            block[2 * i] = static_cast<uint8_t>(v & 0xFF);
            block[2 * i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
        }
        return block;
    }

    int Start(const fs::path& path, int nCaptureWidth = kWidth, int nCaptureHeight = kHeight)
    {
        return pRecorder->Start(path.wstring().c_str(), nCaptureWidth, nCaptureHeight, kWidth, kHeight, 300,
                                32, kRate, kSampleRate, &events);
    }

    fs::path sDir;
    CTestCodecLoader loader;
    CRecorderEvents events;
    CMP4RecorderWrapper* pRecorder = new CMP4RecorderWrapper(&loader);
};

TEST_F(RecorderFixture, WritesMpeg4AndAacInThePlainLayout)
{
    const fs::path path = sDir / "two-seconds.mp4";
    CTestCodecLoader::nResizes = 0;
    ASSERT_TRUE(Start(path));
    EXPECT_FALSE(Start(path)) << "a second Start while running";
    ASSERT_TRUE(events.signal.WaitUntil([&] { return events.nOpened == 1; }));
    // Two seconds: frames and 50 ms audio blocks handed over in step, one at a time.
    for (int n = 0; n < 2 * kRate; ++n)
    {
        const auto frame = Frame(n);
        ASSERT_TRUE(pRecorder->AddVideoFrame(frame.data(), static_cast<int32_t>(frame.size()), 32));
        ASSERT_TRUE(events.WaitVideo(n + 1));
    }
    for (int n = 0; n < 40; ++n)
    {
        // Short blocks are joined into whole encoder frames.
        const auto block = Block(800, n % 20 < 2);
        ASSERT_TRUE(pRecorder->AddAudio(block.data(), static_cast<int32_t>(block.size())));
        ASSERT_TRUE(events.signal.WaitUntil([&] { return events.nAudio == n + 1; }));
    }
    ASSERT_TRUE(pRecorder->Stop());
    const auto frame = Frame(0);
    EXPECT_FALSE(pRecorder->AddVideoFrame(frame.data(), static_cast<int32_t>(frame.size()), 32));
    EXPECT_FALSE(pRecorder->AddAudio(frame.data(), 100));
    pRecorder->Destroy();
    pRecorder = nullptr;
    EXPECT_EQ(events.nClosed, 1) << "OnClosed comes before Destroy returns";
    EXPECT_EQ(CTestCodecLoader::nResizes, 0) << "equal sizes need no resize";

    const auto bytes = ReadBytes(path.string());
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(std::string(bytes.begin() + 4, bytes.begin() + 8), "ftyp");
    EXPECT_EQ(std::string(bytes.begin() + 40, bytes.begin() + 44), "mdat");
    const uint32_t nMdat = (bytes[36] << 24) | (bytes[37] << 16) | (bytes[38] << 8) | bytes[39];
    EXPECT_GT(nMdat, 8u);
    EXPECT_LT(nMdat + 36u, bytes.size());

    const S_FILEREAD file = ReadMediaFile(path.string());
    ASSERT_TRUE(file.bOpened);
    ASSERT_EQ(file.streams.size(), 2u);
    const S_STREAMREAD& video = file.streams[0];
    const S_STREAMREAD& audio = file.streams[1];
    EXPECT_EQ(video.sCodec, "mpeg4");
    EXPECT_EQ(audio.sCodec, "aac");
    EXPECT_EQ(video.nWidth, kWidth);
    EXPECT_EQ(audio.nSampleRate, kSampleRate);
    ASSERT_EQ(video.nPackets, 2 * kRate);
    EXPECT_DOUBLE_EQ(video.dDuration, 2.0);
    EXPECT_DOUBLE_EQ(video.dFrameRate, kRate);
    EXPECT_NEAR(file.dDuration, 2.0, 0.05);
    // A key frame at least every 12 frames (the encoder may add one where the picture flashes).
    EXPECT_TRUE(video.keys[0]);
    for (int n = 0, nLastKey = 0; n < video.nPackets; ++n)
    {
        if (video.keys[n]) nLastKey = n;
        EXPECT_LT(n - nLastKey, CMP4Recorder::kGopSize) << "frame " << n;
        // Frame n sits at n / rate seconds.
        EXPECT_EQ(video.pts[n] * video.nTimeBaseNum * kRate, int64_t{n} * video.nTimeBaseDen);
    }
    // 40 blocks of 800 samples: 31 whole frames of 1024 samples (the rest is less than a frame).
    EXPECT_GE(audio.nPackets, 31);
    EXPECT_LE(audio.nPackets, 32);

    // In sync: each flash (0 and 1 s) and the beep's onset lie within one frame of each other.
    const S_FILEDECODE decoded = DecodeMediaFile(path.string());
    std::vector<double> flashes, onsets;
    for (const auto& [dTime, dLuma] : decoded.pictures)
        if (dLuma > 160) flashes.push_back(dTime);
    // An onset: a loud sample after at least 20 ms of quiet.
    const auto quiet = [](float v) { return std::fabs(v) < 0.1f; };
    for (size_t i = 0; i < decoded.sound.size(); ++i)
    {
        const auto from = decoded.sound.begin() + static_cast<std::ptrdiff_t>(i >= 320 ? i - 320 : 0);
        if (!quiet(decoded.sound[i]) &&
            std::all_of(from, decoded.sound.begin() + static_cast<std::ptrdiff_t>(i), quiet))
            onsets.push_back(decoded.dSoundStart + static_cast<double>(i) / kSampleRate);
    }
    ASSERT_EQ(flashes.size(), 2u);
    ASSERT_EQ(onsets.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
    {
        EXPECT_NEAR(flashes[i], static_cast<double>(i), 1e-6);
        EXPECT_NEAR(onsets[i], flashes[i], 1.0 / kRate);
    }
}

TEST_F(RecorderFixture, DroppedFramesAndBlocksKeepTheirTime)
{
    const fs::path path = sDir / "dropped.mp4";
    ASSERT_TRUE(Start(path, 2 * kWidth, 2 * kHeight));
    ASSERT_TRUE(events.signal.WaitUntil([&] { return events.nOpened == 1; }));
    CTestCodecLoader::nResizes = 0;
    events.bGateOpen = false;
    const auto frame = Frame(0, 2 * kWidth, 2 * kHeight);
    const int32_t nFrameBytes = static_cast<int32_t>(frame.size());
    // Frame 0 holds the thread in its callback; frames 1-6 wait; 7-9 are dropped (still TRUE).
    ASSERT_TRUE(pRecorder->AddVideoFrame(frame.data(), nFrameBytes, 32));
    ASSERT_TRUE(events.WaitVideo(1));
    for (int n = 1; n < 10; ++n)
        EXPECT_TRUE(pRecorder->AddVideoFrame(frame.data(), nFrameBytes, 32));
    // 11 audio blocks wait, the 12th and 13th are dropped (3200 samples each).
    const auto block = Block(3200, true);
    for (int n = 0; n < 13; ++n)
        EXPECT_TRUE(pRecorder->AddAudio(block.data(), static_cast<int32_t>(block.size())));
    EXPECT_EQ(CMP4RecorderWrapper::VideoPending(), 6);
    EXPECT_EQ(CMP4RecorderWrapper::AudioPending(), 11);
    events.OpenGate();
    ASSERT_TRUE(events.WaitVideo(7));
    ASSERT_TRUE(events.signal.WaitUntil([&] { return events.nAudio == 11; }));
    ASSERT_TRUE(pRecorder->AddVideoFrame(frame.data(), nFrameBytes, 32));
    ASSERT_TRUE(pRecorder->AddAudio(block.data(), static_cast<int32_t>(block.size())));
    ASSERT_TRUE(pRecorder->Stop());
    pRecorder->Destroy();
    pRecorder = nullptr;
    EXPECT_EQ(CTestCodecLoader::nResizes, 8) << "one resize per frame taken";

    const S_FILEREAD file = ReadMediaFile(path.string());
    ASSERT_EQ(file.streams.size(), 2u);
    const S_STREAMREAD& video = file.streams[0];
    std::vector<int64_t> frames;
    for (int64_t pts : video.pts)
        frames.push_back(pts * video.nTimeBaseNum * kRate / video.nTimeBaseDen);
    EXPECT_EQ(frames, (std::vector<int64_t>{0, 1, 2, 3, 4, 5, 6, 10}));
    // 14 blocks of 3200 samples, the two dropped as silence: 43 whole frames of 1024.
    EXPECT_GE(file.streams[1].nPackets, 43);
}

TEST_F(RecorderFixture, RefusesBadFramesAndSurvivesAFileThatNeverOpened)
{
    // A folder that does not exist: the file never opens, no callback is called.
    ASSERT_TRUE(Start(sDir / "missing" / "x.mp4"));
    const auto frame = Frame(0);
    EXPECT_FALSE(pRecorder->AddVideoFrame(frame.data(), static_cast<int32_t>(frame.size()), 8));
    EXPECT_FALSE(pRecorder->AddVideoFrame(frame.data(), kWidth * kHeight * 3 - 1, 24));
    EXPECT_TRUE(pRecorder->AddVideoFrame(frame.data(), kWidth * kHeight * 3, 24));
    EXPECT_TRUE(pRecorder->AddAudio(frame.data(), 640));
    EXPECT_TRUE(pRecorder->Stop());
    EXPECT_TRUE(pRecorder->Stop()) << "a second Stop is posted and closes nothing";
    pRecorder->Destroy();
    pRecorder = nullptr;
    EXPECT_EQ(events.nOpened, 0);
    EXPECT_EQ(events.nClosed, 0);
    EXPECT_EQ(events.nVideo, 0);
}

TEST_F(RecorderFixture, StopRightAfterStartFinishesTheFile)
{
    // The thread's queue exists before Start returns, so this Stop is not lost (nor Destroy's wait).
    ASSERT_TRUE(Start(sDir / "at-once.mp4"));
    ASSERT_TRUE(pRecorder->Stop());
    pRecorder->Destroy();
    pRecorder = nullptr;
    EXPECT_EQ(events.nOpened, 1);
    EXPECT_EQ(events.nClosed, 1);
    EXPECT_TRUE(ReadMediaFile((sDir / "at-once.mp4").string()).bOpened);
}

TEST_F(RecorderFixture, StopsTwiceAndKeepsAWideName)
{
    const fs::path path = sDir / fs::u8path("Aufnahme \xC3\xBC \xE6\xBC\xA2\xE5\xAD\x97.mp4");
    const std::wstring sWide = sDir.wstring() + L"/Aufnahme \u00FC \u6F22\u5B57.mp4";
    ASSERT_TRUE(pRecorder->Start(sWide.c_str(), kWidth, kHeight, kWidth, kHeight, 300, 32, kRate, kSampleRate,
                                 &events));
    ASSERT_TRUE(events.signal.WaitUntil([&] { return events.nOpened == 1; }));
    const auto frame = Frame(0);
    ASSERT_TRUE(pRecorder->AddVideoFrame(frame.data(), static_cast<int32_t>(frame.size()), 32));
    const auto block = Block(2048, true);
    ASSERT_TRUE(pRecorder->AddAudio(block.data(), static_cast<int32_t>(block.size())));
    EXPECT_TRUE(pRecorder->Stop());
    EXPECT_TRUE(pRecorder->Stop());
    EXPECT_EQ(std::wstring(pRecorder->GetPath()), sWide);
    pRecorder->Destroy();
    pRecorder = nullptr;
    EXPECT_EQ(events.nClosed, 1) << "the second Stop closes nothing";
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(ReadMediaFile(path.string()).streams.size(), 2u);
}
} // namespace
