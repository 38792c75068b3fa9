#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "FW/Shader.h"
#include "FW/Window.h"
#include "GLTestContext.h"
#include "singletons/Pipeline.h"

namespace {

// The four targets are RGB16F textures of the start size, kept on a resize. (How they are
// attached, filtered and sampled shows in the show's frame tests.)
TEST(Pipeline, TargetsKeepTheStartSize) {
    Pipeline& p = Pipeline::get();
    p.init();
    FW::framebuffer_size_callback(FW::window, 50, 20);
    const GLenum queries[] = {GL_TEXTURE_WIDTH, GL_TEXTURE_HEIGHT, GL_TEXTURE_INTERNAL_FORMAT};
    for (unsigned t : {p.color_buffers[0], p.color_buffers[1], p.pingpong_buffers[0], p.pingpong_buffers[1]}) {
        GLint v[3] = {};
        glBindTexture(GL_TEXTURE_2D, t);
        for (int i = 0; i < 3; ++i)
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, queries[i], &v[i]);
        EXPECT_EQ(std::make_tuple(v[0], v[1], v[2]), std::make_tuple(GL_TEST_WIDTH, GL_TEST_HEIGHT, GL_RGB16F)) << t;
    }
    FW::framebuffer_size_callback(FW::window, GL_TEST_WIDTH, GL_TEST_HEIGHT);
}

// Linking releases both shaders; the destructor deletes the program.
TEST(ShaderProgram, LoadReleasesItsShadersAndTheDestructorTheProgram) {
    GLuint program, shaders[2] = {};
    GLint count = 0, flagged[2] = {};
    {
        FW::ShaderProgram p;
        p.load("shaders/standard.vert", "shaders/standard.frag");
        glGetAttachedShaders(program = p.handle, 2, &count, shaders);
        for (int i = 0; i < count; ++i)
            glGetShaderiv(shaders[i], GL_DELETE_STATUS, &flagged[i]);
    }
    EXPECT_EQ(std::make_tuple(count, flagged[0], flagged[1]), std::make_tuple(2, GL_TRUE, GL_TRUE));
    EXPECT_FALSE(glIsProgram(program));
}

// The bytes unchanged; only a regular file within the limit is read: a pipe, a device behind a
// link and a directory are refused without blocking, and a refused read leaves the content alone.
TEST(ReadFile, RegularFilesWithinTheLimitUnchangedAndNothingElse) {
    const std::string name = testing::TempDir() + "demo-read-file-" + std::to_string(getpid());
    const std::string content("line one\r\nline\0two\r\n", 20);
    std::ofstream(name, std::ios::binary) << content;
    EXPECT_EQ(FW::load_file(name), content);
    std::string kept = "kept";
    EXPECT_EQ(FW::read_file(name, kept, content.size() - 1), FW::FileRead::too_large);
    ASSERT_EQ(std::remove(name.c_str()) | mkfifo(name.c_str(), 0600), 0);
    EXPECT_EQ(FW::read_file(name, kept), FW::FileRead::unreadable);
    ASSERT_EQ(std::remove(name.c_str()) | symlink("/dev/zero", name.c_str()), 0);
    EXPECT_EQ(FW::read_file(name, kept), FW::FileRead::unreadable);
    EXPECT_EQ(FW::read_file(testing::TempDir(), kept), FW::FileRead::unreadable);
    std::remove(name.c_str());
    EXPECT_EQ(FW::read_file(name, kept), FW::FileRead::missing);
    EXPECT_EQ(kept, "kept");
}

}  // namespace
