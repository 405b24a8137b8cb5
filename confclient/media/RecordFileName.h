// A recording's file: its name from the minute or the preset path, its folder (made level by
// level), its kind by extension, and the save dialog's filter.
#pragma once
#include <cstdint>
#include <string>

// What a recording is written as.
enum RecordKind : int
{
    RECORD_KIND_PLAYER = 0, // the conference stream, played back by the program itself
    RECORD_KIND_WMV = 1,
    RECORD_KIND_MP4 = 2,
};

// The save dialog's filters, 1-based as the dialog counts them; 0 before the first use.
enum : uint32_t
{
    RECORD_FILTER_PLAYER = 1,
    RECORD_FILTER_WMV = 2,
    RECORD_FILTER_MP4 = 3,
};

// The room's automatic kind (bits 12-13 of its record options): this value records "wmv".
constexpr uint32_t kAutoKindWmv = 2;

// The file system as the name maker sees it.
class IRecordFiles
{
public:
    virtual ~IRecordFiles() = default;
    // True when a file or folder of this path exists.
    virtual bool Exists(const std::u16string& szPath) = 0;
    // Makes one folder whose parent exists; true when it was made.
    virtual bool MakeFolder(const std::u16string& szPath) = 0;
};

// A local time to the minute.
struct S_LOCALMINUTE
{
    int nYear = 0, nMonth = 1, nDay = 1, nHour = 0, nMinute = 0;
};

struct S_RECORDNAMEINPUT
{
    bool bAutomatic = false;
    std::u16string szPresetPath;   // automatic recordings only; empty: a name from the minute
    std::u16string szRecordFolder; // the record folder setting; empty: the default folder
    std::u16string szDefaultFolder;
    bool bRvEdition = false;
    uint32_t nAutoKind = 0;    // the room's automatic kind
    uint32_t nFilterIndex = 0; // the user's last filter ("RecordFilterIndex")
    S_LOCALMINUTE now;
};

struct S_RECORDNAME
{
    uint32_t nFilterIndex = 0; // by the user: the filter the dialog opens on
    std::u16string szName;     // without extension, with its "_n" suffix
    std::u16string szFolder;
    std::u16string szExt;
    bool bFolderReady = true; // false when the preset folder could not be made
    std::u16string Path() const { return szFolder + u"\\" + szName + u"." + szExt; }
};

// The name, folder and extension of the next recording; the preset folder is made when missing.
// A name already taken gets "_1", "_2" ... before its extension.
S_RECORDNAME MakeRecordFileName(const S_RECORDNAMEINPUT& in, IRecordFiles& files);

// Makes every missing level of the folder, the outermost first; true when it exists afterwards.
bool MakeFolderLevels(const std::u16string& szFolder, IRecordFiles& files);

// "rv" in the RV edition, else "qn".
std::u16string PlayerExtension(bool bRvEdition);
// The extension a filter stands for: 3 "mp4", 2 "wmv", any other the player extension.
std::u16string ExtensionOfFilter(uint32_t nFilterIndex, bool bRvEdition);
// The kind of a file by its extension, case ignored: "wmv" 1, "mp4" 2, anything else 0.
int RecordKindOfPath(const std::u16string& szPath);
// The path with the filter's extension added when its file name has none.
std::u16string WithFilterExtension(const std::u16string& szPath, uint32_t nFilterIndex, bool bRvEdition);
// The save dialog's filter, "|"-separated as the dialog class takes it.
std::u16string RecordFilter(const std::u16string& szProduct, bool bRvEdition, bool bPlayerOnly);
