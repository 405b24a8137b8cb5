// Writes a 24-bit picture as a GIF87a file with one 256-colour global palette.
#pragma once
#include <filesystem>
#include <ostream>

#include "lmboard2/gif/Pixels24.h"

class CClipToGif
{
public:
    // Largest width or height a GIF can hold (16-bit fields).
    static constexpr int kMaxSide = 65535;

    // Quantises the picture and writes it as a GIF to the file. 1 on success, 0 when the picture is
    // empty, larger than a GIF can hold or shorter than its size says, a table cannot be allocated, or
    // the file cannot be written (a partly written file is closed and left).
    int SaveBits(const S_PIXELS24& pic, const std::filesystem::path& path);

    // The same into a stream: 1 on success, 0 otherwise.
    int WriteGif(const S_PIXELS24& pic, std::ostream& out);
};
