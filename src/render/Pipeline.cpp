// The bloom pipeline: the HDR framebuffer, the ping-pong blur targets and their programs.
#include "singletons/Pipeline.h"

#include <cstdlib>
#include <iostream>

#include "FW/Window.h"

namespace {

// An HDR texture (RGB16F, RGBA16F in the browser) of the drawing size, linear and clamped, attached as
// colour attachment `index` of the bound framebuffer.
void attach_hdr_texture(unsigned texture, int index) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, FW::HDR_INTERNAL_FORMAT, FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT, 0,
                 FW::HDR_PIXEL_FORMAT, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + index, GL_TEXTURE_2D, texture, 0);
}

bool framebuffer_complete() {
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE)
        return true;
    std::cout << "Framebuffer not complete!" << std::endl;
    return false;
}

}  // namespace

Pipeline& Pipeline::get() {
    static Pipeline instance;
    return instance;
}

void Pipeline::init() {
    width = FW::SCREEN_WIDTH;
    height = FW::SCREEN_HEIGHT;
    glEnable(GL_CULL_FACE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    glGenFramebuffers(1, &hdr_FBO);
    glBindFramebuffer(GL_FRAMEBUFFER, hdr_FBO);
    glGenTextures(2, color_buffers);
    for (int i = 0; i < 2; ++i)
        attach_hdr_texture(color_buffers[i], i);
    glGenRenderbuffers(1, &depth_RBO);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_RBO);
    glRenderbufferStorage(GL_RENDERBUFFER, FW::DEPTH_FORMAT, FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_RBO);
    glDrawBuffers(2, attachments);
    if (!framebuffer_complete())
        exit(-1);
    // Later frames clear the depth after each background pass; start cleared
    // too, so that the first pass is not tested against undefined depth.
    glClear(GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    glGenFramebuffers(2, pingpong_FBO);
    glGenTextures(2, pingpong_buffers);
    for (int i = 0; i < 2; ++i) {
        glBindFramebuffer(GL_FRAMEBUFFER, pingpong_FBO[i]);
        attach_hdr_texture(pingpong_buffers[i], 0);
        framebuffer_complete();
    }

    standard_program.load("shaders/standard.vert", "shaders/standard.frag");
    blur_program.load("shaders/gaussian_blur.vert", "shaders/gaussian_blur.frag");
    bloom_final_program.load("shaders/bloom_final.vert", "shaders/bloom_final.frag");
    background_program.load("shaders/background.vert", "shaders/background.frag");

    glUseProgram(blur_program.handle);
    set_blur_samplers(blur_program.handle);
    glUseProgram(bloom_final_program.handle);
    set_bloom_final_samplers(bloom_final_program.handle);
}

void Pipeline::resize_targets() {
    width = FW::SCREEN_WIDTH;
    height = FW::SCREEN_HEIGHT;
    glBindFramebuffer(GL_FRAMEBUFFER, hdr_FBO);
    for (int i = 0; i < 2; ++i)
        attach_hdr_texture(color_buffers[i], i);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_RBO);
    glRenderbufferStorage(GL_RENDERBUFFER, FW::DEPTH_FORMAT, width, height);
    glClear(GL_DEPTH_BUFFER_BIT);
    for (int i = 0; i < 2; ++i) {
        glBindFramebuffer(GL_FRAMEBUFFER, pingpong_FBO[i]);
        attach_hdr_texture(pingpong_buffers[i], 0);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void set_blur_samplers(GLuint program) {
    glUniform1i(glGetUniformLocation(program, "image"), 0);
}

void set_bloom_final_samplers(GLuint program) {
    glUniform1i(glGetUniformLocation(program, "scene"), 0);
    glUniform1i(glGetUniformLocation(program, "bloomBlur"), 1);
}
