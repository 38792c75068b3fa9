#include <gtest/gtest.h>

#include "FW/Window.h"
#include "GLTestContext.h"
#include "singletons/Pipeline.h"

namespace {

GLint texture_value(unsigned texture, GLenum pname, bool level_param) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (level_param)
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, pname, &value);
    else
        glGetTexParameteriv(GL_TEXTURE_2D, pname, &value);
    return value;
}

GLint attached(unsigned fbo, GLenum attachment, GLenum pname = GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME) {
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

TEST(Pipeline, TargetsProgramsAndStateAfterInit) {
    Pipeline& p = Pipeline::get();
    p.init();
    // Four distinct linear, clamped RGB16F textures of the drawing size, kept on resize.
    FW::framebuffer_size_callback(FW::window, 50, 20);
    const unsigned textures[] = {p.color_buffers[0], p.color_buffers[1], p.pingpong_buffers[0],
                                 p.pingpong_buffers[1]};
    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j)
            EXPECT_NE(textures[i], textures[j]);
        EXPECT_EQ(texture_value(textures[i], GL_TEXTURE_INTERNAL_FORMAT, true), GL_RGB16F);
        EXPECT_EQ(texture_value(textures[i], GL_TEXTURE_WIDTH, true), GL_TEST_WIDTH);
        EXPECT_EQ(texture_value(textures[i], GL_TEXTURE_HEIGHT, true), GL_TEST_HEIGHT);
        for (GLenum filter : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER})
            EXPECT_EQ(texture_value(textures[i], filter, false), GL_LINEAR);
        for (GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T})
            EXPECT_EQ(texture_value(textures[i], wrap, false), GL_CLAMP_TO_EDGE);
    }
    FW::framebuffer_size_callback(FW::window, GL_TEST_WIDTH, GL_TEST_HEIGHT);

    // The HDR framebuffer: both colours, the depth renderbuffer, both draw buffers.
    EXPECT_EQ(attached(p.hdr_FBO, GL_COLOR_ATTACHMENT0), static_cast<GLint>(p.color_buffers[0]));
    EXPECT_EQ(attached(p.hdr_FBO, GL_COLOR_ATTACHMENT1), static_cast<GLint>(p.color_buffers[1]));
    EXPECT_EQ(attached(p.hdr_FBO, GL_DEPTH_ATTACHMENT), static_cast<GLint>(p.depth_RBO));
    GLint draw_buffers[2] = {};
    glGetIntegerv(GL_DRAW_BUFFER0, &draw_buffers[0]);
    glGetIntegerv(GL_DRAW_BUFFER1, &draw_buffers[1]);
    EXPECT_EQ(draw_buffers[0], GL_COLOR_ATTACHMENT0);
    EXPECT_EQ(draw_buffers[1], GL_COLOR_ATTACHMENT1);

    // Each ping-pong framebuffer: its one colour texture, no depth.
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(attached(p.pingpong_FBO[i], GL_COLOR_ATTACHMENT0), static_cast<GLint>(p.pingpong_buffers[i]));
        EXPECT_EQ(attached(p.pingpong_FBO[i], GL_COLOR_ATTACHMENT1, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE), GL_NONE);
        EXPECT_EQ(attached(p.pingpong_FBO[i], GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE), GL_NONE);
    }

    EXPECT_EQ(uniform_int(p.blur_program.handle, "image"), 0);
    EXPECT_EQ(uniform_int(p.bloom_final_program.handle, "scene"), 0);
    EXPECT_EQ(uniform_int(p.bloom_final_program.handle, "bloomBlur"), 1);
    EXPECT_NE(p.standard_program.handle * p.background_program.handle, 0u);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

}  // namespace
