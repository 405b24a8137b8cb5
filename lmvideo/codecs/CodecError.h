// The last failure of a codec class: a code of the object system's kinds and a text, which the
// library objects turn into their last error.
#pragma once
#include <cstdint>
#include <string>

#include "confclient/library/LMErrorCodes.h"

inline constexpr int32_t kCodecInvalidArgument = LMHResultFromWin32(LM_ERROR_INVALID_PARAMETER);
inline constexpr int32_t kCodecFailed = static_cast<int32_t>(0x80004005); // E_FAIL

class CodecError
{
public:
    int32_t ErrorCode() const { return m_nCode; }
    const std::string& ErrorText() const { return m_text; }

protected:
    // Records the failure and returns false, so a failing step can return it directly.
    bool Fail(int32_t nCode, std::string text);
    // A libav* failure: its code's text after what was being done.
    bool FailAv(int nAvError, const char* szWhat);

private:
    int32_t m_nCode = 0;
    std::string m_text;
};
