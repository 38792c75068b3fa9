#include <cstdio>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "FW/Shader.h"

namespace {

TEST(ShaderProgram, LoadReleasesItsShadersAndTheDestructorTheProgram) {
    GLuint program;
    {
        FW::ShaderProgram p;
        p.load("shaders/standard.vert", "shaders/standard.frag");
        program = p.handle;
        GLint count = 0;
        GLuint shaders[2] = {};
        glGetAttachedShaders(program, 2, &count, shaders);
        ASSERT_EQ(count, 2);
        for (GLuint s : shaders) {
            GLint flagged = 0;
            glGetShaderiv(s, GL_DELETE_STATUS, &flagged);
            EXPECT_EQ(flagged, GL_TRUE);
        }
    }
    EXPECT_FALSE(glIsProgram(program));
}

TEST(LoadFile, ReturnsTheBytesUnchanged) {
    char name[] = "/tmp/demo-load-file-XXXXXX";
    int fd = mkstemp(name);
    const std::string content("line one\r\nline\0two\r\n", 20);
    ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(fd);
    EXPECT_EQ(FW::load_file(name), content);
    std::remove(name);
}

}  // namespace
