// The two coded video formats our decoders and RTP units carry.
#pragma once

enum class VideoCodec
{
    H264,
    H263,
};
