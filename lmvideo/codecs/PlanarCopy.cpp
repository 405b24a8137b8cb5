// Packing decoded frames as planar 4:2:0.
#include "lmvideo/codecs/PlanarCopy.h"

#include <cstring>

extern "C"
{
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

PlanarCopy::~PlanarCopy()
{
    sws_freeContext(m_pConverter);
}

int64_t PlanarCopy::PackedBytes(const AVFrame& frame)
{
    const int64_t cw = (frame.width + 1) / 2, ch = (frame.height + 1) / 2;
    return static_cast<int64_t>(frame.width) * frame.height + 2 * cw * ch;
}

bool PlanarCopy::Write(const AVFrame& frame, uint8_t* pOutput, int64_t nCapacity)
{
    if (!pOutput || PackedBytes(frame) > nCapacity)
        return Fail(LM_E_BUFFERTOOSMALL, "output buffer too small for the picture");
    const int cw = (frame.width + 1) / 2, ch = (frame.height + 1) / 2;
    uint8_t* planes[3] = {pOutput, pOutput + static_cast<int64_t>(frame.width) * frame.height, nullptr};
    planes[2] = planes[1] + static_cast<int64_t>(cw) * ch;
    const int widths[3] = {frame.width, cw, cw}, heights[3] = {frame.height, ch, ch};
    const auto format = static_cast<AVPixelFormat>(frame.format);
    if (format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P)
    {
        for (int i = 0; i < 3; ++i)
        {
            // Rows without padding (widths of a multiple of the decoder's row alignment, as 720p)
            // go in one copy per plane; others row by row.
            if (frame.linesize[i] == widths[i])
            {
                std::memcpy(planes[i], frame.data[i], static_cast<size_t>(widths[i]) * heights[i]);
                continue;
            }
            for (int row = 0; row < heights[i]; ++row)
                std::memcpy(planes[i] + static_cast<int64_t>(row) * widths[i],
                            frame.data[i] + static_cast<int64_t>(row) * frame.linesize[i], widths[i]);
        }
        return true;
    }
    // Other chroma layouts (4:2:2 webcams, grey): to 4:2:0, keeping full range as full range.
    const AVPixelFormat target = format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P ||
                                         format == AV_PIX_FMT_YUVJ440P || format == AV_PIX_FMT_GRAY8
                                     ? AV_PIX_FMT_YUVJ420P
                                     : AV_PIX_FMT_YUV420P;
    m_pConverter = sws_getCachedContext(m_pConverter, frame.width, frame.height, format, frame.width,
                                        frame.height, target, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!m_pConverter) return Fail(kCodecFailed, "no conversion of the decoded layout to 4:2:0");
    sws_scale(m_pConverter, frame.data, frame.linesize, 0, frame.height, planes, widths);
    return true;
}
