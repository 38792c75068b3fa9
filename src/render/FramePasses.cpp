// The passes of a frame: background (or explore mode's sky and stones), blur
// and composite, drawn with the pipeline.
#include "FramePasses.h"

#include <glm/gtc/type_ptr.hpp>

#include "FW/GL.h"
#include "FW/ScreenQuad.h"
#include "FW/Window.h"
#include "GemField.h"
#include "TrackPlayer.h"
#include "singletons/Pipeline.h"

namespace {
const int blur_passes = 5;
const float exposure = 1.0f;
// The shaders' "t" runs at this rate of the demo's seconds.
const double t_per_second = 0.4;
// The texture unit of the field's stone placements (the composite uses 0 and 1).
const int stones_unit = 2;

// The off-screen passes draw over the whole of the targets, which keep their
// start-up size when the window is resized.
void set_target_viewport(const Pipeline& pipeline) {
    glViewport(0, 0, pipeline.width, pipeline.height);
}

// Draws into the HDR framebuffer, over the whole of its targets, with `program`.
GLuint use_on_hdr_framebuffer(const FW::ShaderProgram& program) {
    Pipeline& pipeline = Pipeline::get();
    glBindFramebuffer(GL_FRAMEBUFFER, pipeline.hdr_FBO);
    set_target_viewport(pipeline);
    glUseProgram(program.handle);
    return program.handle;
}

// The background program bound on the HDR framebuffer with its "t" and the tracks set.
GLuint use_background_program(float seconds, const TrackPlayer* tracks) {
    const GLuint program = use_on_hdr_framebuffer(Pipeline::get().background_program);
    glUniform1f(glGetUniformLocation(program, "t"), static_cast<float>(seconds * t_per_second));
    if (tracks)
        tracks->set_uniforms(program);
    return program;
}

// The quad, then a cleared depth buffer for the geometry that may follow.
void finish_background_pass() {
    FW::RenderQuad();
    glClear(GL_DEPTH_BUFFER_BIT);
}

}  // namespace

void draw_background_pass(float seconds, const TrackPlayer* tracks) {
    use_background_program(seconds, tracks);
    finish_background_pass();
}

void draw_sky_pass(float seconds, const glm::mat4& view, const TrackPlayer* tracks) {
    const GLuint program = use_background_program(seconds, tracks);
    // The camera's orientation, camera to world: the transposed rotation of the view.
    const glm::mat3 turn = glm::transpose(glm::mat3(view));
    glUniform1i(glGetUniformLocation(program, "explore"), 1);
    glUniformMatrix3fv(glGetUniformLocation(program, "view_turn"), 1, GL_FALSE, glm::value_ptr(turn));
    finish_background_pass();
}

void draw_field_pass(GemField& field, const glm::mat4& view, float seconds, const TrackPlayer* tracks) {
    Pipeline& pipeline = Pipeline::get();
    const GLuint program = use_on_hdr_framebuffer(pipeline.standard_program);
    const glm::mat4 projection = field_projection(pipeline.width, pipeline.height);
    glUniformMatrix4fv(glGetUniformLocation(program, "view"), 1, GL_FALSE, glm::value_ptr(view));
    glUniformMatrix4fv(glGetUniformLocation(program, "projection"), 1, GL_FALSE, glm::value_ptr(projection));
    glUniform1f(glGetUniformLocation(program, "t"), static_cast<float>(seconds * t_per_second));
    glUniform1i(glGetUniformLocation(program, "stone_vertices"), field.stone_vertices);
    glUniform1i(glGetUniformLocation(program, "stones"), stones_unit);
    if (tracks)
        tracks->set_uniforms(program);
    field.cull(projection * view);
    field.submit(stones_unit);
}

void draw_blur_passes() {
    Pipeline& pipeline = Pipeline::get();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glUseProgram(pipeline.blur_program.handle);
    set_target_viewport(pipeline);
    // Alternate between the two ping-pong targets, each pass reading the
    // previous one's result; the first reads the background's bright part.
    // "horizontal" names the target, and the axis of a blur shader that
    // spreads the light along one axis a pass (the demo's spreads it both ways).
    bool horizontal = true;
    for (int pass = 0; pass < blur_passes; ++pass) {
        glBindFramebuffer(GL_FRAMEBUFFER, pipeline.pingpong_FBO[horizontal]);
        glUniform1i(glGetUniformLocation(pipeline.blur_program.handle, "horizontal"), horizontal);
        glUniform1i(glGetUniformLocation(pipeline.blur_program.handle, "blur_pass"), pass);
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
