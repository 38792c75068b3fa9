#pragma once

#include "FW/GL.h"
#include "FW/Shader.h"

// The off-screen targets and programs of the HDR and bloom chain.
class Pipeline {
public:
    unsigned hdr_FBO = 0;
    unsigned color_buffers[2] = {0, 0};
    unsigned depth_RBO = 0;
    unsigned attachments[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    unsigned pingpong_FBO[2] = {0, 0};
    unsigned pingpong_buffers[2] = {0, 0};
    FW::ShaderProgram standard_program;
    FW::ShaderProgram blur_program;
    FW::ShaderProgram bloom_final_program;
    FW::ShaderProgram background_program;
    // The targets' size: the drawing size at start-up, kept through a window's resizes.
    int width = 0;
    int height = 0;

    static Pipeline& get();
    // Creates the targets at the current drawing size and loads the programs.
    void init();
    // Gives the targets the current drawing size: the page's, which follows its frame rate.
    void resize_targets();

private:
    Pipeline() = default;
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;
};

// The texture units of the blur's and the composite's samplers, set on the
// bound program at start-up and again when live mode rebuilds it.
void set_blur_samplers(GLuint program);
void set_bloom_final_samplers(GLuint program);
