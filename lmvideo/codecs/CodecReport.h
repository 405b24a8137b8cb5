// Hands a codec class's failure to a library object as its last error.
#pragma once
#include "confclient/library/LMObjectImpl.h"
#include "lmvideo/codecs/CodecError.h"

// Returns 0, as SetError does for a failure, so an operation can return it directly.
inline int ReportCodecError(CLMObjectImpl& object, const CodecError& error, const wchar_t* szSource,
                            int nLine)
{
    return object.SetError(error.ErrorCode() ? error.ErrorCode() : kCodecFailed, szSource, nLine, L"%hs",
                           error.ErrorText().c_str());
}
