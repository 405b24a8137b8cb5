// The movie player's engine over any bytes: Load, decode passes and seeks must end in a status,
// never a crash or a leak. The bytes go through a file, as the player opens files by path.
#include "confclient/library/LMErrorCodes.h"
#include "lmlibrary10/core/VideoShareInternal.h"

extern "C"
{
#include <libavutil/log.h>
}

#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{
// No codec library in the fuzz tree: the player then packs no sound, and decodes all the same.
class CNoLibraries : public ILMLibraryLoader
{
public:
    void* LoadLibraryByName(const wchar_t*) override
    {
        LMSetThreadError(LM_ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    LMFactoryFunction FindFactory(void*, const wchar_t*) override { return nullptr; }
};

class CIgnoreAll : public ILMVideoShareCB
{
public:
    void OnError(int32_t, const wchar_t*) override {}
    void OnVideoFrame(const uint8_t*, int32_t, int32_t, int32_t, int32_t, const wchar_t*) override {}
    void OnAudio(const uint8_t*, int32_t, int32_t) override {}
};

const std::string& InputPath()
{
    static const std::string path = "/tmp/quillon-fuzz-movie-" + std::to_string(getpid());
    return path;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // FFmpeg's warnings about broken input would drown the fuzzer's own output.
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FILE* file = fopen(InputPath().c_str(), "wb");
    if (!file) return 0;
    fwrite(pData, 1, nSize, file);
    fclose(file);

    static CNoLibraries loader;
    static CIgnoreAll callback;
    CVideoShareInternal engine(
        &callback, 0xFFFE, 1, &loader, [] {}, [] { return false; });
    S_VIDEOSHAREINFO info{};
    engine.Load(InputPath(), info);
    if (info.nAudioStatus > LM_SHARE_NOFILE || info.nVideoStatus > LM_SHARE_NOFILE) __builtin_trap();
    engine.DecodePass();
    engine.Seek(1);
    engine.Seek(0);
    engine.SeekRelatively(3600);
    return 0;
}
