// Finding, locking and parsing an "INI" resource.
#include "confclient/session/texttable/TextTableResource.h"

bool LoadTextTableResource(HMODULE hModule, UINT id, CTextTable& table, std::u16string* pText)
{
    HRSRC found = ::FindResourceW(hModule, MAKEINTRESOURCEW(id), L"INI");
    if (!found) return false;
    DWORD size = ::SizeofResource(hModule, found);
    HGLOBAL loaded = ::LoadResource(hModule, found);
    const auto* bytes = loaded ? static_cast<const uint8_t*>(::LockResource(loaded)) : nullptr;
    if (!bytes) return false;
    std::u16string text = CTextTable::Decode(bytes, size);
    table.ParseText(text);
    if (pText) *pText = std::move(text);
    return true;
}
