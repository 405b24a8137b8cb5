// Scratch folders and whole-file helpers for the recorder tests.
#include "tests/record/RecordFixture.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

ScratchDir::ScratchDir()
{
    static std::atomic<int> nNext{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    m_path = std::filesystem::temp_directory_path() /
             ("quillon-rec-" + std::to_string(stamp) + "-" + std::to_string(nNext++));
    std::filesystem::create_directories(m_path);
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
