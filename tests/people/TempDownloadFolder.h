// A download folder in a fresh temporary directory for native tests and fuzzing: names compare
// without case as on Windows, files are created exclusively, and the directory goes at the end.
#pragma once
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "confclient/people/ReceiveNames.h"
#include "core/Utf8Text.h"

class CTempDownloadFolder : public IDownloadFolder
{
public:
    CTempDownloadFolder()
    {
        std::random_device random;
        do
            m_dir = (std::filesystem::temp_directory_path() / ("qdl" + std::to_string(random()))).string();
        while (!std::filesystem::create_directory(m_dir));
    }
    ~CTempDownloadFolder() override
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // The byte count a short write stops at (the disk runs full), SIZE_MAX for none.
    size_t nWriteLimit = SIZE_MAX;
    size_t nNameRoom = kMaxPathUnits - 30;

    CreateResult CreateNew(const std::u16string& szName, std::unique_ptr<IReceiveFile>& file) override
    {
        const std::string name = Utf8Of(szName);
        if (szName.size() > nNameRoom) return CREATE_FAILED;
        for (const std::string& other : Names())
            if (Folded(other) == Folded(name)) return CREATE_EXISTS;
        auto f = std::make_unique<File>(Path(szName), nWriteLimit);
        if (!f->out) return CREATE_FAILED;
        file = std::move(f);
        return CREATE_MADE;
    }
    void Remove(const std::u16string& szName) override
    {
        std::error_code ec;
        std::filesystem::remove(Path(szName), ec);
    }
    std::u16string PathOf(const std::u16string& szName) const override
    {
        return std::u16string(m_dir.begin(), m_dir.end()) + u"/" + szName;
    }
    size_t NameRoom() const override { return nNameRoom; }

    const std::string& Dir() const { return m_dir; }
    // Every name in the folder, sorted.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // A file's bytes.
    std::string Contents(const std::string& name) const
    {
        std::string s;
        std::ifstream in(std::filesystem::path(m_dir) / name, std::ios::binary);
        s.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return s;
    }
    void Put(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(std::filesystem::path(m_dir) / name, std::ios::binary) << bytes;
    }

private:
    struct File : IReceiveFile
    {
        std::ofstream out;
        size_t nLeft;
        File(const std::filesystem::path& path, size_t n) : out(path, std::ios::binary), nLeft(n) {}
        size_t Write(const uint8_t* p, size_t n) override
        {
            const size_t nTake = std::min(n, nLeft);
            out.write(reinterpret_cast<const char*>(p), static_cast<std::streamsize>(nTake));
            if (!out) return 0;
            nLeft -= nTake;
            return nTake;
        }
    };
    std::filesystem::path Path(const std::u16string& szName) const
    {
        return std::filesystem::path(m_dir) / std::filesystem::path(szName);
    }
    static std::string Folded(std::string s)
    {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    }
    std::string m_dir;
};

// A file to send from memory.
class CMemorySendFile : public ISendFile
{
public:
    explicit CMemorySendFile(std::string bytes) : m_bytes(std::move(bytes)) {}
    size_t Read(uint8_t* p, size_t n) override
    {
        const size_t nTake = std::min(n, m_bytes.size() - m_nPos);
        std::copy_n(m_bytes.data() + m_nPos, nTake, p);
        m_nPos += nTake;
        return nTake;
    }

private:
    std::string m_bytes;
    size_t m_nPos = 0;
};
