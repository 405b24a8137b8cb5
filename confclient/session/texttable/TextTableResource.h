// Reads a keyed text table from an "INI" resource of a module (the language library).
#pragma once
#include "confclient/session/texttable/TextTable.h"
#include <windows.h>

// Parses the "INI" resource `id` of `hModule` into `table`; false (table untouched) when the module
// has no such resource. When `pText` is given it receives the decoded text of the resource.
bool LoadTextTableResource(HMODULE hModule, UINT id, CTextTable& table, std::u16string* pText = nullptr);
