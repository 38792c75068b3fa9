#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A fresh directory under the system's temporary folder, removed with the object.
struct TempDir {
    std::filesystem::path path;

    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "capture-test-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

inline std::vector<unsigned char> read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

inline void write_bytes(const std::filesystem::path& path, const unsigned char* bytes, size_t n) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes), n);
}

// Little-endian 32-bit field of a BMP header.
inline uint32_t field32(const std::vector<unsigned char>& file, size_t offset) {
    return file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 |
           static_cast<uint32_t>(file[offset + 3]) << 24;
}

// Decodes every .bmp file in `dir` with ImageMagick into a .rgb file beside
// it: 8-bit R, G, B, top row first. Returns the command's status.
inline int decode_with_imagemagick(const std::filesystem::path& dir) {
    std::string command = "mogrify -path '" + dir.string() + "' -depth 8 -format rgb '" +
                          dir.string() + "'/*.bmp";
    return std::system(command.c_str());
}
