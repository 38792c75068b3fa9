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
