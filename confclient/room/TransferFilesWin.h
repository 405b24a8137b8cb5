// The transfers' files on Windows: the download folder, whose files are created exclusively
// (a name present in any case is a clash), and a file opened for sending.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "confclient/people/ReceiveNames.h"

class CDownloadFolderWin : public IDownloadFolder
{
public:
    // The folder, with or without a trailing backslash.
    explicit CDownloadFolderWin(std::wstring szFolder);
    CreateResult CreateNew(const std::u16string& szName, std::unique_ptr<IReceiveFile>& file) override;
    void Remove(const std::u16string& szName) override;
    std::u16string PathOf(const std::u16string& szName) const override;
    size_t NameRoom() const override;

private:
    std::wstring m_szFolder;
};

// Opens a file for sending, shared with no other writer; null when it cannot be opened. nSize: its size.
std::unique_ptr<ISendFile> OpenSendFile(const std::wstring& szPath, uint64_t& nSize);

// The transfers' pace: the DWORD "TransferPaceTest" in the program key raises it for tests.
uint32_t TransferPace(const std::wstring& szProgramKey);
