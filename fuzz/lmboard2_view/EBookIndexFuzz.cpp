// Any text as e-book index lines, then any combo selections in what it made: nothing may read
// outside the books, and every level the index keeps has entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lmboard2/view/EBookIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nLen)
{
    CEBookIndex index;
    std::u16string line;
    size_t i = 0;
    for (; i + 1 < nLen; i += 2)
    {
        char16_t c = static_cast<char16_t>(pData[i] | (pData[i + 1] << 8));
        if (c == u'\n')
        {
            index.AddLine(line);
            line.clear();
        }
        else
            line.push_back(c);
    }
    index.AddLine(line);
    for (const S_BOOK& b : index.Books())
        for (const auto& level : b.levels)
            if (level.empty()) std::abort();
    CEBookSelection sel(index.Books());
    for (const S_BOOK& b : index.Books())
    {
        sel.SelectTitle(b.title);
        for (int k = -1; k < 4; ++k)
        {
            sel.SelectLevel(k);
            sel.SelectStep(k);
        }
    }
    CEBookSelection::PageOfText(line);
    return 0;
}
