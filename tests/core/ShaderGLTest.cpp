#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "FW/Shader.h"

namespace {

TEST(ShaderProgram, LoadsCompilesLinksAndFlagsShadersForDeletion) {
    GLuint program;
    {
        FW::ShaderProgram p;
        EXPECT_EQ(p.handle, 0u);
        p.load("shaders/standard.vert", "shaders/standard.frag");
        program = p.handle;
        ASSERT_NE(program, 0u);
        GLint linked = 0, count = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE);
        GLuint shaders[2] = {};
        glGetAttachedShaders(program, 2, &count, shaders);
        ASSERT_EQ(count, 2);
        for (GLuint s : shaders) {
            GLint flagged = 0;
            glGetShaderiv(s, GL_DELETE_STATUS, &flagged);
            EXPECT_EQ(flagged, GL_TRUE);
        }
    }
    // The destructor deleted the program.
    EXPECT_FALSE(glIsProgram(program));
}

TEST(LoadFile, ReturnsBytesUnchanged) {
    char name[] = "/tmp/demo-load-file-XXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    const std::string content("line one\r\nline\0two\r\n", 20);
    ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(fd);
    EXPECT_EQ(FW::load_file(name), content);
    std::remove(name);
}

TEST(LoadFileDeathTest, MissingFileOrDirectoryEndsWithTheMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(FW::load_file("shaders/missing.vert"), ::testing::ExitedWithCode(255),
                "Error opening file: shaders/missing.vert");
    EXPECT_EXIT(FW::load_file("shaders"), ::testing::ExitedWithCode(255), "Error opening file: shaders");
}

}  // namespace
