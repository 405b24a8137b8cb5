// The recording's file name, folder, kind and filter.
#include "confclient/media/RecordFileName.h"

#include <cstdio>

#include "core/TextNoCase.h"

namespace
{
bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

size_t LastSeparator(const std::u16string& s)
{
    for (size_t i = s.size(); i > 0; --i)
        if (IsSeparator(s[i - 1])) return i - 1;
    return std::u16string::npos;
}

// The extension of a path's file name (without the dot); empty when it has none.
std::u16string ExtensionOf(const std::u16string& szPath)
{
    size_t nSep = LastSeparator(szPath);
    size_t nStart = nSep == std::u16string::npos ? 0 : nSep + 1;
    size_t nDot = szPath.rfind(u'.');
    if (nDot == std::u16string::npos || nDot < nStart) return {};
    return szPath.substr(nDot + 1);
}

std::u16string Ascii(const char* psz)
{
    std::u16string s;
    for (; *psz; ++psz)
        s.push_back(static_cast<char16_t>(*psz));
    return s;
}

// Where the folder's own levels begin: after "C:", after "\\server\share", or after a leading "\".
size_t FirstLevel(const std::u16string& s)
{
    if (s.size() >= 2 && s[1] == u':') return 2;
    if (s.size() >= 2 && IsSeparator(s[0]) && IsSeparator(s[1]))
    {
        size_t nServerEnd = 2;
        while (nServerEnd < s.size() && !IsSeparator(s[nServerEnd]))
            ++nServerEnd;
        size_t nShareEnd = nServerEnd + 1;
        while (nShareEnd < s.size() && !IsSeparator(s[nShareEnd]))
            ++nShareEnd;
        return nShareEnd;
    }
    return 0;
}
} // namespace

std::u16string PlayerExtension(bool bRvEdition)
{
    return bRvEdition ? u"rv" : u"qn";
}

std::u16string ExtensionOfFilter(uint32_t nFilterIndex, bool bRvEdition)
{
    if (nFilterIndex == RECORD_FILTER_MP4) return u"mp4";
    if (nFilterIndex == RECORD_FILTER_WMV) return u"wmv";
    return PlayerExtension(bRvEdition);
}

int RecordKindOfPath(const std::u16string& szPath)
{
    std::u16string ext = ExtensionOf(szPath);
    if (EqualsNoCase(ext, u"wmv")) return RECORD_KIND_WMV;
    if (EqualsNoCase(ext, u"mp4")) return RECORD_KIND_MP4;
    return RECORD_KIND_PLAYER;
}

std::u16string WithFilterExtension(const std::u16string& szPath, uint32_t nFilterIndex, bool bRvEdition)
{
    if (!ExtensionOf(szPath).empty()) return szPath;
    // A name ending in a bare dot keeps it as the extension's separator.
    std::u16string s = szPath;
    if (s.empty() || s.back() != u'.') s.push_back(u'.');
    return s + ExtensionOfFilter(nFilterIndex, bRvEdition);
}

std::u16string RecordFilter(const std::u16string& szProduct, bool bRvEdition, bool bPlayerOnly)
{
    const std::u16string ext = PlayerExtension(bRvEdition);
    std::u16string filter = szProduct + u" Player file (*." + ext + u")|*." + ext + u"; |";
    if (!bPlayerOnly) filter += u"WMV Record file (*.wmv)|*.wmv; |MP4 Record file (*.mp4)|*.mp4; |";
    return filter + u"|";
}

bool MakeFolderLevels(const std::u16string& szFolder, IRecordFiles& files)
{
    std::u16string folder = szFolder;
    while (folder.size() > 1 && IsSeparator(folder.back()))
        folder.pop_back();
    if (folder.empty()) return false;
    if (files.Exists(folder)) return true;
    // Each level in turn: one call cannot make a folder whose parent is missing too.
    for (size_t i = FirstLevel(folder); i <= folder.size(); ++i)
    {
        if (i != folder.size() && !IsSeparator(folder[i])) continue;
        std::u16string level = folder.substr(0, i);
        if (level.empty() || IsSeparator(level.back()) || (level.size() == 2 && level[1] == u':')) continue;
        if (!files.Exists(level) && !files.MakeFolder(level)) return false;
    }
    return true;
}

S_RECORDNAME MakeRecordFileName(const S_RECORDNAMEINPUT& in, IRecordFiles& files)
{
    S_RECORDNAME r;
    const std::u16string autoExt =
        in.nAutoKind == kAutoKindWmv ? std::u16string(u"wmv") : PlayerExtension(in.bRvEdition);
    if (in.bAutomatic && !in.szPresetPath.empty())
    {
        size_t nSep = LastSeparator(in.szPresetPath);
        std::u16string file =
            nSep == std::u16string::npos ? in.szPresetPath : in.szPresetPath.substr(nSep + 1);
        r.szFolder = nSep == std::u16string::npos ? std::u16string() : in.szPresetPath.substr(0, nSep);
        r.szExt = ExtensionOf(file);
        r.szName = r.szExt.empty() ? file : file.substr(0, file.size() - r.szExt.size() - 1);
        if (r.szExt.empty()) r.szExt = autoExt;
        r.bFolderReady = r.szFolder.empty() || MakeFolderLevels(r.szFolder, files);
    }
    else
    {
        char szMinute[32];
        std::snprintf(szMinute, sizeof szMinute, "%d%02d%02d%02d%02d", in.now.nYear, in.now.nMonth,
                      in.now.nDay, in.now.nHour, in.now.nMinute);
        r.szName = Ascii(szMinute);
        r.szFolder = in.szRecordFolder.empty() ? in.szDefaultFolder : in.szRecordFolder;
        while (r.szFolder.size() > 1 && IsSeparator(r.szFolder.back()))
            r.szFolder.pop_back();
        if (in.bAutomatic)
            r.szExt = autoExt;
        else
        {
            r.nFilterIndex = in.nFilterIndex;
            r.szExt = ExtensionOfFilter(in.nFilterIndex, in.bRvEdition);
        }
    }
    const std::u16string base = r.szFolder + u"\\" + r.szName;
    std::u16string suffix;
    for (int n = 1; files.Exists(base + suffix + u"." + r.szExt); ++n)
        suffix = u"_" + Ascii(std::to_string(n).c_str());
    r.szName += suffix;
    return r;
}
