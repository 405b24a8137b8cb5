// Any bytes as a drawing record: reading must stay within the record's own length,
// and what it accepts must replay without touching anything else.
#include <vector>

#include "fuzz/lmboard2_core/CountingSurface.h"
#include "lmboard2/records/DrawReplay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    std::vector<uint8_t> bytes(pData, pData + nSize);
    std::optional<DrawRecord> rec = ParseDrawRecord(bytes.data(), bytes.size());
    if (rec)
    {
        if (rec->nSize > bytes.size() || rec->nSize < 4) __builtin_trap();
        if (rec->byType < REC_CLEAR || rec->byType > REC_SHAPE) __builtin_trap();
        if (rec->byType == REC_ZOOM && rec->byZoomIndex >= kZoomPresetCount) __builtin_trap();
        if (rec->points.size() * 4 > rec->nSize) __builtin_trap();
    }
    CCountingSurface surface;
    for (int nMode = 0; nMode < 4; ++nMode)
    {
        int nType = ReplayDrawRecord(bytes.data(), bytes.size(), nMode & 1, nMode & 2, surface);
        if ((nType != 0) != rec.has_value()) __builtin_trap();
    }
    return 0;
}
