// The typed holders: CLMObjectPtr with default library and factory names.
#pragma once
#include "confclient/library/LMObjectPtr.h"
#include "confclient/library/LMVideoCodecs.h"

inline constexpr const wchar_t* LM_DEFAULT_CODEC_LIBRARY = L"LMLibrary01U.dll";

// A null name becomes the default before the holder's own constructor runs; these holders
// create their object at construction unless told otherwise.
template <class I, const wchar_t* const& szDefaultFactory> class CLMTypedPtr : public CLMObjectPtr<I>
{
public:
    explicit CLMTypedPtr(int bCreate = 1, const wchar_t* szLibrary = nullptr,
                         const wchar_t* szFactory = nullptr, ILMLibraryLoader* pLoader = nullptr)
        : CLMObjectPtr<I>(bCreate, szLibrary ? szLibrary : LM_DEFAULT_CODEC_LIBRARY,
                          szFactory ? szFactory : szDefaultFactory, pLoader)
    {
    }
};

inline constexpr const wchar_t* LM_FACTORY_H264RTPDECODER = L"GetH264RtpDecoder";
inline constexpr const wchar_t* LM_FACTORY_H263RTPDECODER = L"GetH263RtpDecoder";
inline constexpr const wchar_t* LM_FACTORY_COLORSPACECONVERTER = L"GetColorSpaceConverter";
inline constexpr const wchar_t* LM_FACTORY_MJPEGDECODER = L"GetMjpegDecoder";
inline constexpr const wchar_t* LM_FACTORY_FLIPPER = L"GetFlipper";
inline constexpr const wchar_t* LM_FACTORY_RESIZER = L"GetResizer";
inline constexpr const wchar_t* LM_FACTORY_SPEEXENCODER = L"GetSpeexEncoder";

using IIppH264RtpDecoderPtr = CLMTypedPtr<IIppH264RtpDecoder, LM_FACTORY_H264RTPDECODER>;
using IIppH263RtpDecoderPtr = CLMTypedPtr<IIppH263RtpDecoder, LM_FACTORY_H263RTPDECODER>;
using IIppColorSpaceConverterPtr = CLMTypedPtr<IIppColorSpaceConverter, LM_FACTORY_COLORSPACECONVERTER>;
using IIppMjpegDecoderPtr = CLMTypedPtr<IIppMjpegDecoder, LM_FACTORY_MJPEGDECODER>;
using IIppFlipperPtr = CLMTypedPtr<IIppFlipper, LM_FACTORY_FLIPPER>;
// The media library's holders of the same library.
using IIppResizerPtr = CLMTypedPtr<IIppResizer, LM_FACTORY_RESIZER>;
using IXiphSpeexEncoderPtr = CLMTypedPtr<IXiphSpeexEncoder, LM_FACTORY_SPEEXENCODER>;
