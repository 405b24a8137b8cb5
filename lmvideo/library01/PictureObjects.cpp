// LMLibrary01U's picture objects: the colour-space converter, the resizer and the flipper.
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMVideoCodecs.h"
#include "lmvideo/codecs/CodecReport.h"
#include "lmvideo/codecs/PictureConverter.h"
#include "lmvideo/codecs/PictureFlipper.h"
#include "lmvideo/library01/Library01Source.h"

namespace
{
class CColorSpaceConverter : public CLMObjectImpl, public IIppColorSpaceConverter
{
public:
    int Convert(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
                int32_t nTargetBytes, S_LMPICTURE target) override
    {
        if (!m_converter.Convert(pSource, nSourceBytes, source, pTarget, nTargetBytes, target, true))
            return ReportCodecError(*this, m_converter, kLibrary01Source, __LINE__);
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    PictureConverter m_converter;
};

class CResizer : public CLMObjectImpl, public IIppResizer
{
public:
    int Resize(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
               int32_t nTargetBytes, S_LMPICTURE target) override
    {
        if (!m_converter.Convert(pSource, nSourceBytes, source, pTarget, nTargetBytes, target, false))
            return ReportCodecError(*this, m_converter, kLibrary01Source, __LINE__);
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    PictureConverter m_converter;
};

class CFlipper : public CLMObjectImpl, public IIppFlipper
{
public:
    int Flip(const uint8_t* pSource, int32_t nSourceBytes, S_LMPICTURE source, uint8_t* pTarget,
             int32_t nTargetBytes, S_LMPICTURE target) override
    {
        if (!m_flipper.Flip(pSource, nSourceBytes, source, pTarget, nTargetBytes, target))
            return ReportCodecError(*this, m_flipper, kLibrary01Source, __LINE__);
        return SetError(0, nullptr, 0, nullptr);
    }

private:
    PictureFlipper m_flipper;
};
} // namespace

extern "C" __declspec(dllexport) ILMObject* GetColorSpaceConverter()
{
    return new CColorSpaceConverter;
}

extern "C" __declspec(dllexport) ILMObject* GetResizer()
{
    return new CResizer;
}

extern "C" __declspec(dllexport) ILMObject* GetFlipper()
{
    return new CFlipper;
}
