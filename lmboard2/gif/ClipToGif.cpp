// GIF87a writer: header, 256-entry global palette, one image of LZW-coded palette indices.
#include "lmboard2/gif/ClipToGif.h"

#include <fstream>
#include <new>
#include <vector>

#include "lmboard2/gif/ColorQuantizer.h"
#include "lmboard2/gif/GifLzwEncoder.h"

namespace
{
constexpr uint8_t kGlobalTable256 = 0xE7; // global table present, 8 bits of resolution, unsorted, 256 entries
constexpr uint8_t kMinCodeSize = 8;

void PutU16(std::ostream& out, int v)
{
    out.put(static_cast<char>(v & 0xFF));
    out.put(static_cast<char>((v >> 8) & 0xFF));
}

bool PictureFits(const S_PIXELS24& pic)
{
    if (!pic.pBits || pic.nWidth < 1 || pic.nHeight < 1) return false;
    if (pic.nWidth > CClipToGif::kMaxSide || pic.nHeight > CClipToGif::kMaxSide) return false;
    const uint64_t nBytes = Dib24Stride(pic.nWidth) * static_cast<uint64_t>(pic.nHeight);
    return nBytes <= pic.cbBits;
}
} // namespace

int CClipToGif::SaveBits(const S_PIXELS24& pic, const std::filesystem::path& path)
{
    if (!PictureFits(pic)) return 0;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return 0;
    const int nResult = WriteGif(pic, file);
    file.close();
    return nResult && !file.fail() ? 1 : 0;
}

int CClipToGif::WriteGif(const S_PIXELS24& pic, std::ostream& out)
{
    if (!PictureFits(pic)) return 0;
    try
    {
        CColorQuantizer quantizer;
        std::vector<uint8_t> indices;
        quantizer.Quantize(pic, indices);

        out.write("GIF87a", 6);
        PutU16(out, pic.nWidth);
        PutU16(out, pic.nHeight);
        out.put(static_cast<char>(kGlobalTable256));
        out.put(0); // background colour index
        out.put(0); // no aspect ratio
        for (const S_PALETTE_RGB& c : quantizer.Palette())
        {
            out.put(static_cast<char>(c.r));
            out.put(static_cast<char>(c.g));
            out.put(static_cast<char>(c.b));
        }

        out.put(',');
        PutU16(out, 0);
        PutU16(out, 0);
        PutU16(out, pic.nWidth);
        PutU16(out, pic.nHeight);
        out.put(0); // no local table, not interlaced
        out.put(static_cast<char>(kMinCodeSize));

        CGifLzwEncoder lzw;
        if (!lzw.Encode(indices.data(), indices.size(), out)) return 0;
        out.put(0);
        out.put(';');
        return out ? 1 : 0;
    }
    catch (const std::bad_alloc&)
    {
        return 0;
    }
}
