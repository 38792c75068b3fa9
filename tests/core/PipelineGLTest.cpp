#include <gtest/gtest.h>

#include "FW/Window.h"
#include "GLTestContext.h"
#include "singletons/Pipeline.h"

namespace {

GLint texture_level_param(unsigned texture, GLenum pname) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, pname, &value);
    return value;
}

GLint texture_param(unsigned texture, GLenum pname) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, pname, &value);
    return value;
}

GLint attachment_param(unsigned fbo, GLenum attachment, GLenum pname) {
    GLint value = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, pname, &value);
    return value;
}

GLint uniform_int(unsigned program, const char* name) {
    GLint value = -1;
    glGetUniformiv(program, glGetUniformLocation(program, name), &value);
    return value;
}

class PipelineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Pipeline::get().init(); }
    Pipeline& p = Pipeline::get();
};

TEST_F(PipelineTest, FiveDistinctHdrTexturesOfTheDrawingSize) {
    unsigned textures[] = {p.color_buffers[0], p.color_buffers[1], p.pingpong_buffers[0],
                           p.pingpong_buffers[1]};
    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j)
            EXPECT_NE(textures[i], textures[j]);
        EXPECT_EQ(texture_level_param(textures[i], GL_TEXTURE_INTERNAL_FORMAT), GL_RGB16F);
        EXPECT_EQ(texture_level_param(textures[i], GL_TEXTURE_WIDTH), GL_TEST_WIDTH);
        EXPECT_EQ(texture_level_param(textures[i], GL_TEXTURE_HEIGHT), GL_TEST_HEIGHT);
        EXPECT_EQ(texture_param(textures[i], GL_TEXTURE_MIN_FILTER), GL_LINEAR);
        EXPECT_EQ(texture_param(textures[i], GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(texture_param(textures[i], GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
        EXPECT_EQ(texture_param(textures[i], GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    }
}

TEST_F(PipelineTest, HdrFramebufferHasTwoColoursDepthAndBothDrawBuffers) {
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(attachment_param(p.hdr_FBO, GL_COLOR_ATTACHMENT0 + i,
                                   GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
                  static_cast<GLint>(p.color_buffers[i]));
    EXPECT_EQ(attachment_param(p.hdr_FBO, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE),
              GL_RENDERBUFFER);
    EXPECT_EQ(attachment_param(p.hdr_FBO, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
              static_cast<GLint>(p.depth_RBO));
    GLint draw0 = 0, draw1 = 0;
    glGetIntegerv(GL_DRAW_BUFFER0, &draw0);
    glGetIntegerv(GL_DRAW_BUFFER1, &draw1);
    EXPECT_EQ(draw0, GL_COLOR_ATTACHMENT0);
    EXPECT_EQ(draw1, GL_COLOR_ATTACHMENT1);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
}

TEST_F(PipelineTest, PingPongFramebuffersHaveOneColourAndNoDepth) {
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(attachment_param(p.pingpong_FBO[i], GL_COLOR_ATTACHMENT0,
                                   GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
                  static_cast<GLint>(p.pingpong_buffers[i]));
        EXPECT_EQ(attachment_param(p.pingpong_FBO[i], GL_COLOR_ATTACHMENT1,
                                   GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE),
                  GL_NONE);
        EXPECT_EQ(attachment_param(p.pingpong_FBO[i], GL_DEPTH_ATTACHMENT,
                                   GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE),
                  GL_NONE);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    }
}

TEST_F(PipelineTest, ProgramsLinkedWithFixedSamplerUnitsAndStateSet) {
    for (const FW::ShaderProgram* program : {&p.standard_program, &p.blur_program,
                                             &p.bloom_final_program, &p.background_program})
        EXPECT_NE(program->handle, 0u);
    EXPECT_EQ(uniform_int(p.blur_program.handle, "image"), 0);
    EXPECT_EQ(uniform_int(p.bloom_final_program.handle, "scene"), 0);
    EXPECT_EQ(uniform_int(p.bloom_final_program.handle, "bloomBlur"), 1);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2], 0.0f);
    EXPECT_EQ(clear[3], 1.0f);
}

TEST_F(PipelineTest, ResizeLeavesTargetsAtTheirSize) {
    FW::framebuffer_size_callback(FW::window, 50, 20);
    EXPECT_EQ(texture_level_param(p.color_buffers[0], GL_TEXTURE_WIDTH), GL_TEST_WIDTH);
    EXPECT_EQ(texture_level_param(p.pingpong_buffers[1], GL_TEXTURE_HEIGHT), GL_TEST_HEIGHT);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 50);
    EXPECT_EQ(viewport[3], 20);
    FW::framebuffer_size_callback(FW::window, GL_TEST_WIDTH, GL_TEST_HEIGHT);
}

}  // namespace
