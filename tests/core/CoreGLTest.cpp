// GL checks of the framework and the pipeline: render targets, screen quad, shader programs, file loading.
#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "FW/ScreenQuad.h"
#include "FW/Shader.h"
#include "FW/Window.h"
#include "GLTestContext.h"
#include "singletons/Pipeline.h"

namespace {

GLint texture_value(unsigned texture, GLenum pname) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (pname == GL_TEXTURE_INTERNAL_FORMAT || pname == GL_TEXTURE_WIDTH || pname == GL_TEXTURE_HEIGHT)
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, pname, &value);
    else
        glGetTexParameteriv(GL_TEXTURE_2D, pname, &value);
    return value;
}

// The four targets are linear, clamped RGB16F textures of the start size, kept on a resize.
// (How they are attached and sampled shows in the show's frame tests.)
TEST(Pipeline, TargetsKeepTheStartSize) {
    Pipeline& p = Pipeline::get();
    p.init();
    FW::framebuffer_size_callback(FW::window, 50, 20);
    for (unsigned t : {p.color_buffers[0], p.color_buffers[1], p.pingpong_buffers[0], p.pingpong_buffers[1]}) {
        const GLint expected[][2] = {{GL_TEXTURE_INTERNAL_FORMAT, GL_RGB16F}, {GL_TEXTURE_WIDTH, GL_TEST_WIDTH},
                                     {GL_TEXTURE_HEIGHT, GL_TEST_HEIGHT}, {GL_TEXTURE_MIN_FILTER, GL_LINEAR},
                                     {GL_TEXTURE_MAG_FILTER, GL_LINEAR}, {GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE},
                                     {GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE}};
        for (const auto& [pname, value] : expected)
            EXPECT_EQ(texture_value(t, pname), value) << t << " " << pname;
    }
    FW::framebuffer_size_callback(FW::window, GL_TEST_WIDTH, GL_TEST_HEIGHT);
}

// The quad is made on the first call only; later calls reuse it.
TEST(ScreenQuad, CreatedOnce) {
    FW::RenderQuad();
    const GLuint vao = FW::quadVAO, vbo = FW::quadVBO;
    FW::RenderQuad();
    EXPECT_TRUE(glIsVertexArray(vao) && glIsBuffer(vbo));
    EXPECT_EQ(std::make_pair(FW::quadVAO, FW::quadVBO), std::make_pair(vao, vbo));
}

TEST(ShaderProgram, LoadReleasesItsShadersAndTheDestructorTheProgram) {
    GLuint program;
    {
        FW::ShaderProgram p;
        p.load("shaders/standard.vert", "shaders/standard.frag");
        program = p.handle;
        GLint count = 0, flagged[2] = {};
        GLuint shaders[2] = {};
        glGetAttachedShaders(program, 2, &count, shaders);
        ASSERT_EQ(count, 2);
        for (int i = 0; i < 2; ++i)
            glGetShaderiv(shaders[i], GL_DELETE_STATUS, &flagged[i]);
        EXPECT_EQ(flagged[0] + flagged[1], 2 * GL_TRUE);
    }
    EXPECT_FALSE(glIsProgram(program));
}

TEST(LoadFile, ReturnsTheBytesUnchanged) {
    const std::string name = testing::TempDir() + "demo-load-file", content("line one\r\nline\0two\r\n", 20);
    std::ofstream(name, std::ios::binary) << content;
    EXPECT_EQ(FW::load_file(name), content);
    std::remove(name.c_str());
}

}  // namespace
