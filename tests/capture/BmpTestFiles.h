#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct TempDir {  // a fresh temporary directory, removed with the object
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

// Decodes every .bmp in `dir` with ImageMagick into a .rgb beside it (R, G, B, top row first).
inline int decode_with_imagemagick(const std::filesystem::path& dir) {
    return std::system(("mogrify -path '" + dir.string() + "' -depth 8 -format rgb '" + dir.string() + "'/*.bmp").c_str());
}
