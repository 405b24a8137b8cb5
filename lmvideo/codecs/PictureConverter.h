// Converts and scales pictures between the pixel formats with swscale. A context is made once
// per pair of format and size and kept, as hosts convert the same pair every frame.
#pragma once
#include <cstdint>
#include <map>
#include <tuple>

#include "lmvideo/codecs/CodecError.h"
#include "lmvideo/codecs/PictureLayout.h"

struct SwsContext;

class PictureConverter : public CodecError
{
public:
    PictureConverter() = default;
    ~PictureConverter();
    PictureConverter(const PictureConverter&) = delete;
    PictureConverter& operator=(const PictureConverter&) = delete;

    // Writes the source picture into the target's format and size (a negative height on
    // either side means bottom-up rows). With bSameSize the sizes' magnitudes must match.
    bool Convert(const uint8_t* pSource, int32_t nSourceBytes, const S_LMPICTURE& source, uint8_t* pTarget,
                 int32_t nTargetBytes, const S_LMPICTURE& target, bool bSameSize);

private:
    using Key = std::tuple<int, int, int, int, int, int>;
    // Hosts use a handful of pairs; past this many the cache starts again.
    static constexpr size_t kMaxContexts = 16;

    SwsContext* ContextFor(const PictureLayout& from, const PictureLayout& to);

    std::map<Key, SwsContext*> m_contexts;
};
