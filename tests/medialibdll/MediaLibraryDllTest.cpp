// The media library under Wine, loaded by name through the holders: the recorder writes an MP4
// file from bottom-up frames and a tone, and the movie player plays that file back.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "confclient/library/LMMediaLibrary.h"
#include "confclient/library/LMObjectPtr.h"

namespace
{
constexpr int kWidth = 320, kHeight = 240, kRate = 15, kSampleRate = 16000;
constexpr double kPi = 3.14159265358979323846;
const wchar_t kLibrary10[] = L"LMLibrary10U.dll";

// Waits for what another thread makes true, within a generous bound.
struct CEvents
{
    template <class F> void Change(F f)
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            f();
        }
        changed.notify_all();
    }
    template <class F> bool WaitUntil(F ready)
    {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(30), ready);
    }
    std::mutex lock;
    std::condition_variable changed;
};

class CRecorderEvents : public ILMMP4RecorderCB, public CEvents
{
public:
    void OnReserved(int32_t, int32_t) override {}
    void OnOpened() override
    {
        Change([&] { ++nOpened; });
    }
    void OnVideoWritten() override
    {
        Change([&] { ++nVideo; });
    }
    void OnAudioWritten() override
    {
        Change([&] { ++nAudio; });
    }
    void OnClosed() override
    {
        Change([&] { ++nClosed; });
    }
    int nOpened = 0, nVideo = 0, nAudio = 0, nClosed = 0;
};

class CPlayerEvents : public ILMVideoShareCB, public CEvents
{
public:
    void OnError(int32_t, const wchar_t*) override {}
    void OnVideoFrame(const uint8_t* pData, int32_t nBytes, int32_t nSeconds, int32_t nWidth, int32_t nHeight,
                      const wchar_t* szFormat) override
    {
        Change(
            [&]
            {
                if (!pData)
                    ++nVideoEnds;
                else if (nWidth == kWidth && nHeight == kHeight && nBytes == kWidth * kHeight * 3 / 2 &&
                         wcscmp(szFormat, L"12YUV420") == 0)
                {
                    ++nPictures;
                    nLastSecond = nSeconds;
                    // Flash frames (the first of each second) stay bright through the encoder.
                    if (pData[kWidth * kHeight / 2 + kWidth / 2] > 0xC0) ++nBright;
                }
                else
                    ++nOdd;
            });
    }
    void OnAudio(const uint8_t* pData, int32_t nBytes, int32_t) override
    {
        Change(
            [&]
            {
                if (!pData)
                    ++nAudioEnds;
                else if (nBytes > 12 && pData[0] == 0x80 && (pData[1] & 0x7F) == 0x61 && pData[11] == 0x2A)
                    ++nPackets;
                else
                    ++nOdd;
            });
    }
    int nPictures = 0, nBright = 0, nLastSecond = -1, nPackets = 0, nVideoEnds = 0, nAudioEnds = 0, nOdd = 0;
};

std::wstring TempPath(const wchar_t* szName)
{
    wchar_t szDir[MAX_PATH];
    GetTempPathW(MAX_PATH, szDir);
    return std::wstring(szDir) + szName;
}

std::vector<uint8_t> ReadFile(const std::wstring& path)
{
    std::vector<uint8_t> bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb"))
    {
        uint8_t chunk[4096];
        for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0;)
            bytes.insert(bytes.end(), chunk, chunk + got);
        fclose(file);
    }
    return bytes;
}

TEST(MediaLibrary, RecordsAnMp4AndPlaysItBack)
{
    const std::wstring path = TempPath(L"quillon-medialib-\u00E9.mp4");
    DeleteFileW(path.c_str());
    {
        CRecorderEvents events;
        CLMObjectPtr<ILMMP4Recorder> recorder(1, kLibrary10, L"GetMP4Recorder");
        ASSERT_TRUE(recorder) << "GetMP4Recorder binds";
        ASSERT_TRUE(recorder->Start(path.c_str(), kWidth, kHeight, kWidth, kHeight, 600, 32, kRate,
                                    kSampleRate, &events));
        ASSERT_TRUE(events.WaitUntil([&] { return events.nOpened == 1; }));
        // Three seconds of frames, bright on the first of each second, and a steady tone.
        std::vector<int16_t> tone(kSampleRate / kRate);
        for (int n = 0; n < 3 * kRate; ++n)
        {
            std::vector<uint8_t> frame(kWidth * kHeight * 4, n % kRate == 0 ? 0xF0 : 0x30);
            ASSERT_TRUE(recorder->AddVideoFrame(frame.data(), static_cast<int32_t>(frame.size()), 32));
            for (size_t i = 0; i < tone.size(); ++i)
                tone[i] = static_cast<int16_t>(10000 *
                                               std::sin(2 * kPi * 800 * (n * tone.size() + i) / kSampleRate));
            ASSERT_TRUE(recorder->AddAudio(reinterpret_cast<const uint8_t*>(tone.data()),
                                           static_cast<int32_t>(tone.size() * 2)));
            // In step with the recorder thread, so the pending limits drop nothing here.
            ASSERT_TRUE(events.WaitUntil([&] { return events.nVideo == n + 1 && events.nAudio == n + 1; }));
        }
        ASSERT_TRUE(recorder->Stop());
        recorder.Release();
        EXPECT_EQ(events.nClosed, 1);
    }
    const std::vector<uint8_t> bytes = ReadFile(path);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(std::string(bytes.begin() + 4, bytes.begin() + 8), "ftyp");
    EXPECT_EQ(std::string(bytes.begin() + 40, bytes.begin() + 44), "mdat");

    CPlayerEvents events;
    CLMObjectPtr<ILMVideoShare2> player(1, kLibrary10, L"GetVideoShare2");
    ASSERT_TRUE(player) << "GetVideoShare2 binds";
    ASSERT_TRUE(player->Init(&events, 0x2A, 1));
    S_VIDEOSHAREINFO info{};
    ASSERT_TRUE(player->Load(path.c_str(), &info.nDuration));
    EXPECT_EQ(info.nDuration, 3);
    EXPECT_EQ(info.nAudioStatus, 0);
    EXPECT_EQ(info.nVideoStatus, 0);
    EXPECT_EQ(info.nWidth, kWidth);
    EXPECT_EQ(info.nHeight, kHeight);
    EXPECT_EQ(info.nFrameRate, kRate);
    ASSERT_TRUE(player->Play());
    ASSERT_TRUE(events.WaitUntil([&] { return events.nVideoEnds == 1 && events.nAudioEnds == 1; }));
    std::lock_guard<std::mutex> guard(events.lock);
    EXPECT_EQ(events.nPictures, 3 * kRate);
    EXPECT_EQ(events.nBright, 3);
    EXPECT_EQ(events.nLastSecond, 2);
    // 3 s of tone in 40 ms packets, less what the encoder's edges leave out.
    EXPECT_GE(events.nPackets, 70);
    EXPECT_EQ(events.nOdd, 0);
    DeleteFileW(path.c_str());
}

TEST(MediaLibrary, PlayerWithoutRelativeSeekTellsABrokenFile)
{
    const std::wstring path = TempPath(L"quillon-medialib-broken.mp4");
    if (FILE* file = _wfopen(path.c_str(), L"wb"))
    {
        fputs("no movie in here", file);
        fclose(file);
    }
    CPlayerEvents events;
    CLMObjectPtr<ILMVideoShare> player(1, kLibrary10, L"GetVideoShare");
    ASSERT_TRUE(player);
    EXPECT_FALSE(player->Play()) << "no player thread before Init";
    ASSERT_TRUE(player->Init(&events, 0x2A, 0));
    S_VIDEOSHAREINFO info{-1, -1, -1, -1, -1, -1};
    ASSERT_TRUE(player->Load(path.c_str(), &info.nDuration));
    EXPECT_EQ(info.nAudioStatus, 4);
    EXPECT_EQ(info.nVideoStatus, 4);
    EXPECT_FALSE(player->SetVolume(201));
    DeleteFileW(path.c_str());
}
} // namespace
