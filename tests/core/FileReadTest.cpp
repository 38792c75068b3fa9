// Whole-file reads of the framework, which every shader and the font go through.
#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "FW/Shader.h"

namespace {

// The bytes unchanged; a file over the limit is refused (pipes and devices: the start-up and watch tests).
TEST(LoadFile, ReturnsTheBytesUnchanged) {
    const std::string name = testing::TempDir() + "demo-load-file", content("line one\r\nline\0two\r\n", 20);
    std::ofstream(name, std::ios::binary) << content;
    EXPECT_EQ(FW::load_file(name), content);
    std::string kept;
    EXPECT_EQ(FW::read_file(name, kept, content.size() - 1), FW::FileRead::too_large);
    std::remove(name.c_str());
}

}  // namespace
