// The full-screen passes of a frame: background, blur and composite, drawn with the pipeline.
#include "FramePasses.h"

#include "FW/GL.h"
#include "FW/ScreenQuad.h"
#include "FW/Window.h"
#include "singletons/Pipeline.h"

namespace {
const int blur_passes = 5;
const float exposure = 1.0f;

// The off-screen passes draw over the whole of the targets, which keep their
// start-up size when the window is resized.
void set_target_viewport(const Pipeline& pipeline) {
    glViewport(0, 0, pipeline.width, pipeline.height);
}
}  // namespace

void draw_background_pass(float seconds) {
    Pipeline& pipeline = Pipeline::get();
    glBindFramebuffer(GL_FRAMEBUFFER, pipeline.hdr_FBO);
    set_target_viewport(pipeline);
    glUseProgram(pipeline.background_program.handle);
    glUniform1f(glGetUniformLocation(pipeline.background_program.handle, "t"),
                static_cast<float>(seconds * 0.4));
    FW::RenderQuad();
    glClear(GL_DEPTH_BUFFER_BIT);
}

void draw_blur_passes() {
    Pipeline& pipeline = Pipeline::get();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glUseProgram(pipeline.blur_program.handle);
    set_target_viewport(pipeline);
    // Alternate the axes between the two ping-pong targets, each pass reading
    // the previous one's result; the first reads the background's bright part.
    bool horizontal = true;
    for (int pass = 0; pass < blur_passes; ++pass) {
        glBindFramebuffer(GL_FRAMEBUFFER, pipeline.pingpong_FBO[horizontal]);
        glUniform1i(glGetUniformLocation(pipeline.blur_program.handle, "horizontal"), horizontal);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, pass == 0 ? pipeline.color_buffers[1]
                                               : pipeline.pingpong_buffers[!horizontal]);
        FW::RenderQuad();
        horizontal = !horizontal;
    }
}

void draw_composite_pass(bool bloom) {
    Pipeline& pipeline = Pipeline::get();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // The whole picture fills the window at its current size; the texts and
    // the capture's read-back that follow keep this viewport.
    glViewport(0, 0, FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(pipeline.bloom_final_program.handle);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, pipeline.color_buffers[0]);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, pipeline.pingpong_buffers[1]);
    glUniform1i(glGetUniformLocation(pipeline.bloom_final_program.handle, "bloom"), bloom);
    glUniform1f(glGetUniformLocation(pipeline.bloom_final_program.handle, "exposure"), exposure);
    FW::RenderQuad();
}
