// Names of received files: a name from the wire made safe to create inside the download folder,
// the numbered alternatives of a name already present, and the download folder and file
// interfaces the transfers write through.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// A file being received.
class IReceiveFile
{
public:
    virtual ~IReceiveFile() = default;
    // Appends the bytes; the count written, fewer on a failure. Closed when destroyed.
    virtual size_t Write(const uint8_t* p, size_t n) = 0;
};

// A file being sent.
class ISendFile
{
public:
    virtual ~ISendFile() = default;
    // Reads up to n bytes; fewer only at the end of the file (or on a failure).
    virtual size_t Read(uint8_t* p, size_t n) = 0;
};

// The folder received files land in.
class IDownloadFolder
{
public:
    enum CreateResult
    {
        CREATE_MADE,
        CREATE_EXISTS, // a file of that name, in any case, is there
        CREATE_FAILED,
    };
    virtual ~IDownloadFolder() = default;
    // Creates the named file in the folder, never opening one that exists.
    virtual CreateResult CreateNew(const std::u16string& szName, std::unique_ptr<IReceiveFile>& file) = 0;
    // Deletes a file this program created there.
    virtual void Remove(const std::u16string& szName) = 0;
    // The file's full path.
    virtual std::u16string PathOf(const std::u16string& szName) const = 0;
    // Units a name may have so that the folder, a separator and the name fit MAX_PATH.
    virtual size_t NameRoom() const = 0;
};

// Units of the longest Windows path, less its terminator.
constexpr size_t kMaxPathUnits = 259;

// One file name inside the folder, whatever the sender wrote: up to its first zero unit, the last
// component after \ or /, characters invalid in Windows names, control and bidi-control
// characters as "_", no trailing dots or spaces, a device name (CON, NUL, COM1 ..., with or
// without extension) prefixed with "_", "file" for nothing left, and at most nMaxUnits units, the
// extension kept.
std::u16string SafeReceiveName(std::u16string_view szRaw, size_t nMaxUnits = kMaxPathUnits);

// The n-th alternative of a name (n >= 1): base(n).ext, or name(n) without an extension; a base
// already ending in "(digits)" has that part replaced. At most nMaxUnits units, the extension kept.
std::u16string NumberedName(const std::u16string& szName, unsigned n, size_t nMaxUnits = kMaxPathUnits);

// Creates the first of name, name(1), name(2) ... not present in the folder, the name being made
// safe first; szName becomes the name created. Null when none can be made.
std::unique_ptr<IReceiveFile> CreateReceiveFile(IDownloadFolder& folder, std::u16string& szName);
