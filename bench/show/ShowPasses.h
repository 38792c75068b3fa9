#pragma once

// The frame's passes as the demo draws them (the background, the five
// ping-pong blur passes, the composite), split so that each can be timed.

#include "FW/GL.h"
#include "FW/ScreenQuad.h"
#include "singletons/Pipeline.h"

namespace show {

// The demo's blend state, which the font engine sets at start-up.
inline void set_demo_state() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// `seconds` is demo time; the shader receives 0.4 times it.
inline void draw_background(float seconds) {
    Pipeline& pipeline = Pipeline::get();
    glBindFramebuffer(GL_FRAMEBUFFER, pipeline.hdr_FBO);
    glUseProgram(pipeline.background_program.handle);
    glUniform1f(glGetUniformLocation(pipeline.background_program.handle, "t"),
                static_cast<float>(seconds * 0.4));
    FW::RenderQuad();
    glClear(GL_DEPTH_BUFFER_BIT);
}

inline void draw_blur() {
    Pipeline& pipeline = Pipeline::get();
    glUseProgram(pipeline.blur_program.handle);
    bool horizontal = true;
    for (int pass = 0; pass < 5; ++pass) {
        glBindFramebuffer(GL_FRAMEBUFFER, pipeline.pingpong_FBO[horizontal]);
        glUniform1i(glGetUniformLocation(pipeline.blur_program.handle, "horizontal"), horizontal);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, pass == 0 ? pipeline.color_buffers[1]
                                               : pipeline.pingpong_buffers[!horizontal]);
        FW::RenderQuad();
        horizontal = !horizontal;
    }
}

inline void draw_composite(bool bloom) {
    Pipeline& pipeline = Pipeline::get();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(pipeline.bloom_final_program.handle);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, pipeline.color_buffers[0]);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, pipeline.pingpong_buffers[1]);
    glUniform1i(glGetUniformLocation(pipeline.bloom_final_program.handle, "bloom"), bloom);
    glUniform1f(glGetUniformLocation(pipeline.bloom_final_program.handle, "exposure"), 1.0f);
    FW::RenderQuad();
}

}  // namespace show
