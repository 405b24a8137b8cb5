// A fresh folder under the temporary folder for one test, removed with everything in it.
#pragma once
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class CBoardTestDir
{
public:
    CBoardTestDir()
    {
        static std::atomic<int> s_nNext{0};
        auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        path = std::filesystem::temp_directory_path() /
               ("qboard_" + std::to_string(now) + "_" + std::to_string(s_nNext++));
        std::filesystem::create_directories(path);
    }
    ~CBoardTestDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }

    std::filesystem::path path;
};

inline std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::filesystem::path& p, const std::vector<uint8_t>& bytes)
{
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
