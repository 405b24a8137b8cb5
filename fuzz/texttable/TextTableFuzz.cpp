// Any bytes as a keyed text table: decoding and parsing must stay in bounds.
#include "confclient/session/texttable/TextTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CTextTable table;
    table.Parse(data, size);
    table.GetText(u"IDS_MUTEX");
    Utf8Of(CTextTable::Decode(data, size));
    return 0;
}
