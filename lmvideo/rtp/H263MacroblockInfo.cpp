// The encoder's macroblock side data.
#include "lmvideo/rtp/H263MacroblockInfo.h"

#include "core/ByteReader.h"

std::vector<H263MacroblockInfo> ReadH263MacroblockInfo(const uint8_t* p, size_t n)
{
    constexpr size_t kRecordBytes = 12;
    std::vector<H263MacroblockInfo> records;
    ByteReader r(p, n);
    while (r.Remaining() >= kRecordBytes)
    {
        H263MacroblockInfo mb;
        mb.nBitOffset = r.U32();
        mb.nQuant = r.U8();
        mb.nGob = r.U8();
        mb.nAddress = r.U16();
        mb.nHmv1 = static_cast<int8_t>(r.U8());
        mb.nVmv1 = static_cast<int8_t>(r.U8());
        mb.nHmv2 = static_cast<int8_t>(r.U8());
        mb.nVmv2 = static_cast<int8_t>(r.U8());
        records.push_back(mb);
    }
    return records;
}
