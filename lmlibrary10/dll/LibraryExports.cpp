// LMLibrary10U's factories, exported undecorated: each returns a new object's ILMObject, or null
// when memory is short.
#include "lmlibrary10/core/MP4RecorderWrapper.h"
#include "lmlibrary10/core/VideoShare.h"

#include <new>

extern "C" __declspec(dllexport) ILMObject* GetMP4Recorder()
{
    return new (std::nothrow) CMP4RecorderWrapper;
}

extern "C" __declspec(dllexport) ILMObject* GetVideoShare()
{
    return new (std::nothrow) CVideoShare1;
}

extern "C" __declspec(dllexport) ILMObject* GetVideoShare2()
{
    return new (std::nothrow) CVideoShare2;
}
