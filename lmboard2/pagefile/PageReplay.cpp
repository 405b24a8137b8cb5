// The replay walk over a page file's records: header, background, then each record
// by its u16 length until the end of the file or the first damaged one.
#include <fstream>
#include <functional>

#include "lmboard2/boardmsg/BoardMessage.h"
#include "lmboard2/pagefile/BoardPageStore.h"
#include "lmboard2/records/DrawReplay.h"

namespace
{
constexpr int kPageWhiteWidth = 1600;
constexpr int kPageWhiteHeight = 1200;

// Hands each whole record (length field included) to take; take returns false to stop
// the walk with 0. Returns 0 when the page cannot be opened or its records located.
int WalkRecords(const std::optional<std::filesystem::path>& page, IPageStoreOwner& owner,
                const std::function<bool(const std::vector<uint8_t>&)>& take)
{
    if (!page) return 0;
    std::ifstream in(*page, std::ios::binary);
    uint8_t size[4];
    if (!in.read(reinterpret_cast<char*>(size), sizeof size)) return 0;
    uint64_t nBackground =
        uint64_t(size[0]) | (uint64_t(size[1]) << 8) | (uint64_t(size[2]) << 16) | (uint64_t(size[3]) << 24);
    if (!in.seekg(static_cast<std::streamoff>(kBoardFileHeaderSize + nBackground))) return 0;

    std::vector<uint8_t> rec;
    for (;;)
    {
        uint8_t len[2];
        in.read(reinterpret_cast<char*>(len), sizeof len);
        if (in.gcount() == 0) return 1; // the end of the records
        size_t nLen = len[0] | (len[1] << 8);
        bool bDamaged = in.gcount() != 2 || nLen == 0 || nLen > kBoardPayloadMax;
        if (!bDamaged)
        {
            rec.assign(len, len + 2);
            rec.resize(nLen + 2);
            in.read(reinterpret_cast<char*>(rec.data() + 2), static_cast<std::streamsize>(nLen));
            bDamaged = static_cast<size_t>(in.gcount()) != nLen;
        }
        if (bDamaged)
        {
            owner.ErrorMessage(0);
            return 1;
        }
        if (!take(rec)) return 0;
    }
}
} // namespace

int CBoardPageStore::ReplayPage(const std::u16string& name, IDrawSurface& board, KeptViewRecords& kept)
{
    return WalkRecords(m_folders.PageFile(name), m_owner,
                       [&](const std::vector<uint8_t>& rec)
                       {
                           switch (ReplayDrawRecord(rec.data(), rec.size(), false, false, board))
                           {
                           case REC_CLEAR:
                               kept.pointer.clear();
                               break;
                           case REC_ZOOM:
                               kept.zoom = rec;
                               kept.scroll.clear();
                               kept.pointer.clear();
                               break;
                           case REC_SCROLL:
                               kept.scroll = rec;
                               break;
                           case REC_POINTER:
                               kept.pointer = rec;
                               break;
                           default:
                               break;
                           }
                           return true;
                       });
}

int CBoardPageStore::ReplayPageTo(const std::u16string& name, IPageTarget& target,
                                  const std::filesystem::path& picture)
{
    return WalkRecords(m_folders.PageFile(name), m_owner,
                       [&](const std::vector<uint8_t>& rec)
                       {
                           std::optional<DrawRecord> parsed = ParseDrawRecord(rec.data(), rec.size());
                           if (!parsed) return true;
                           if (parsed->byType != REC_CLEAR)
                           {
                               ReplayDrawRecord(*parsed, false, true, target);
                               return true;
                           }
                           if (picture.empty())
                           {
                               target.FillWhite(kPageWhiteWidth, kPageWhiteHeight);
                               return true;
                           }
                           return target.DrawPicture(picture);
                       });
}
