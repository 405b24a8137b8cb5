// A small library of test objects for the holder under Wine: a decoder implementing two
// interfaces over the virtual base, a flipper, and a factory that returns nothing.
#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMVideoCodecs.h"

namespace
{
long g_nAlive = 0;

class CDllDecoder : public CLMObjectImpl, public IIppH264RtpDecoder
{
public:
    CDllDecoder() { ++g_nAlive; }
    ~CDllDecoder() override { --g_nAlive; }
    int Decode(const uint8_t*, int32_t nLength, int32_t, uint8_t*, int32_t, S_DECODEDFRAME*) override
    {
        return SetError(LM_E_NOPICTURE, L"DllDecoder", nLength, L"no picture from %d bytes", nLength);
    }
};

class CDllFlipper : public CLMObjectImpl, public IIppFlipper
{
public:
    CDllFlipper() { ++g_nAlive; }
    ~CDllFlipper() override { --g_nAlive; }
    int Flip(const uint8_t*, int32_t, S_LMPICTURE, uint8_t*, int32_t, S_LMPICTURE) override { return 1; }
};
} // namespace

extern "C" __declspec(dllexport) ILMObject* GetTestDecoder()
{
    return new CDllDecoder;
}

extern "C" __declspec(dllexport) ILMObject* GetTestFlipper()
{
    return new CDllFlipper;
}

extern "C" __declspec(dllexport) ILMObject* GetNothing()
{
    return nullptr;
}

// Objects of this library alive now, so a test sees that a refused object was destroyed.
extern "C" __declspec(dllexport) long TestObjectsAlive()
{
    return g_nAlive;
}
