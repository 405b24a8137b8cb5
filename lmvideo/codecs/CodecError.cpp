// Recording a codec class's failure.
#include "lmvideo/codecs/CodecError.h"

extern "C"
{
#include <libavutil/error.h>
}

bool CodecError::Fail(int32_t nCode, std::string text)
{
    m_nCode = nCode;
    m_text = std::move(text);
    return false;
}

bool CodecError::FailAv(int nAvError, const char* szWhat)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(nAvError, text, sizeof text);
    return Fail(kCodecFailed, std::string(szWhat) + ": " + text);
}
