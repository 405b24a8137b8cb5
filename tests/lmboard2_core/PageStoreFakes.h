// A recording board view for the page store, and helpers to lay out page files.
#pragma once
#include <set>

#include "lmboard2/pagefile/BoardPageStore.h"
#include "tests/lmboard2_core/BoardTestDir.h"

class CRecordingPageOwner : public IPageStoreOwner
{
public:
    void AddPage(const S_BOARD_FILEHDR& h) override { added.push_back(h); }
    void ErrorMessage(int n) override { errors.push_back(n); }
    bool IsPresentationName(const std::u16string& name) override { return presentations.count(name) != 0; }

    std::vector<S_BOARD_FILEHDR> added;
    std::vector<int> errors;
    std::set<std::u16string> presentations;
};

inline std::u16string Latin1(std::string_view s)
{
    std::u16string out;
    for (char c : s)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

inline S_BOARD_FILEHDR PageHeader(std::u16string_view name, uint8_t byKind, uint32_t nSize)
{
    S_BOARD_FILEHDR h;
    h.byKind = byKind;
    h.dwSize = nSize;
    S_BOARD_FILEHDR::SetText(h.szName, name);
    S_BOARD_FILEHDR::SetText(h.szTitle, u"Doc");
    S_BOARD_FILEHDR::SetText(h.szCaption, u"Caption");
    return h;
}

// Header, background bytes and records, as one page file's bytes.
inline std::vector<uint8_t> PageBytes(const S_BOARD_FILEHDR& h, const std::vector<uint8_t>& background,
                                      const std::vector<std::vector<uint8_t>>& records = {})
{
    std::vector<uint8_t> b(kBoardFileHeaderSize);
    h.Write(b.data());
    b.insert(b.end(), background.begin(), background.end());
    for (const auto& r : records)
        b.insert(b.end(), r.begin(), r.end());
    return b;
}

// Record bytes from a type and its fields: length, type, fields, terminator.
inline std::vector<uint8_t> RecordBytes(uint8_t byType, const std::vector<uint8_t>& fields)
{
    size_t nLen = fields.size() + 2;
    std::vector<uint8_t> b;
    b.reserve(nLen + 2);
    b.push_back(static_cast<uint8_t>(nLen));
    b.push_back(static_cast<uint8_t>(nLen >> 8));
    b.push_back(byType);
    for (uint8_t f : fields)
        b.push_back(f);
    b.push_back(13);
    return b;
}

struct PageStoreFixture
{
    CBoardTestDir dir;
    BoardFolders folders = *BoardFolders::Make(dir.path);
    CRecordingPageOwner view;
    CBoardPageStore store{folders, view, Latin1};

    std::filesystem::path Page(std::u16string_view name) { return *folders.PageFile(name); }
    std::filesystem::path Background(std::u16string_view name) { return *folders.BackgroundFile(name); }
};
