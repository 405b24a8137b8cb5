// The taskbar group's registry entries.
#include "confclient/room/TaskbarGroup.h"
#include "confclient/session/texttable/TextTable.h"

std::vector<S_REGWRITE> TaskbarGroupEntries(const S_TASKBARGROUPINPUT& in)
{
    std::vector<S_REGWRITE> writes;
    const std::u16string& szIcon = in.groupIconPath ? *in.groupIconPath : in.szProgramPath;
    if (!szIcon.empty())
        writes.push_back({true, u"SOFTWARE\\Classes\\Applications\\" + in.szProgram + u".exe",
                          u"TaskbarGroupIcon", szIcon});
    // The cache names the program by its path: without one there is nothing to name.
    if (in.szProgramPath.empty()) return writes;
    std::u16string szName = in.szProgram;
    if (in.nameFileText)
    {
        CTextTable table;
        table.ParseText(*in.nameFileText);
        if (const std::u16string* pGroup = table.Find(u"GROUP"))
        {
            szName = pGroup->substr(0, kMaxTaskbarGroupName);
            // A cut never leaves half a surrogate pair.
            if (szName.size() == kMaxTaskbarGroupName && szName.back() >= 0xD800 && szName.back() <= 0xDBFF)
                szName.pop_back();
        }
    }
    if (!szName.empty())
        writes.push_back(
            {false, u"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", in.szProgramPath, szName});
    return writes;
}
