// Picture conversion and scaling over swscale.
#include "lmvideo/codecs/PictureConverter.h"

extern "C"
{
#include <libswscale/swscale.h>
}

PictureConverter::~PictureConverter()
{
    for (auto& entry : m_contexts)
        sws_freeContext(entry.second);
}

SwsContext* PictureConverter::ContextFor(const PictureLayout& from, const PictureLayout& to)
{
    const Key key{from.width, from.height, from.format, to.width, to.height, to.format};
    auto found = m_contexts.find(key);
    if (found != m_contexts.end()) return found->second;
    if (m_contexts.size() >= kMaxContexts)
    {
        for (auto& entry : m_contexts)
            sws_freeContext(entry.second);
        m_contexts.clear();
    }
    // Bicubic, as the ffmpeg command line scales.
    SwsContext* context = sws_getContext(from.width, from.height, from.format, to.width, to.height, to.format,
                                         SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (context) m_contexts.emplace(key, context);
    return context;
}

bool PictureConverter::Convert(const uint8_t* pSource, int32_t nSourceBytes, const S_LMPICTURE& source,
                               uint8_t* pTarget, int32_t nTargetBytes, const S_LMPICTURE& target,
                               bool bSameSize)
{
    PictureLayout from, to;
    std::string why;
    if (!LayOutPicture(pSource, nSourceBytes, source, from, why))
        return Fail(kCodecInvalidArgument, "source: " + why);
    if (!LayOutPicture(pTarget, nTargetBytes, target, to, why))
        return Fail(kCodecInvalidArgument, "target: " + why);
    if (bSameSize && (from.width != to.width || from.height != to.height))
        return Fail(kCodecInvalidArgument, "source and target sizes differ");
    SwsContext* context = ContextFor(from, to);
    if (!context) return Fail(kCodecFailed, "swscale has no conversion between these formats");
    if (sws_scale(context, from.data, from.stride, 0, from.height, to.data, to.stride) != to.height)
        return Fail(kCodecFailed, "swscale did not write the picture");
    return true;
}
