#include "DrawCallback.h"

#include <chrono>
#include <cstdlib>

#include "FW/ScreenQuad.h"
#include "FW/Window.h"
#include "singletons/Pipeline.h"
#include "singletons/Scene.h"
#include "singletons/UI.h"

namespace {

const float capture_step = 1.0f / 60.0f;
const float end_of_show = 58.0f;
const int blur_passes = 5;

// Wall-clock seconds since the scene's start time.
float seconds_since_start(const Scene* scene) {
    auto elapsed = std::chrono::system_clock::now() - scene->start_time;
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count();
    return static_cast<float>(ns) / 1000000000.0f;
}

}  // namespace

DrawCallback::DrawCallback() : last_time(static_cast<float>(glfwGetTime())) {}

void DrawCallback::draw(int, int) {
    Pipeline& pipeline = Pipeline::get();
    Scene* scene = Scene::get();

    float t;
    if (scene->capture) {
        capture_time += capture_step;
        t = capture_time;
    } else {
        t = seconds_since_start(scene);
    }
    if (t >= end_of_show)
        exit(0);
    float dt = t - last_time;
    last_time = t;
    UI::get().logic(dt);

    // Background: the picture and its bright part, both HDR.
    glBindFramebuffer(GL_FRAMEBUFFER, pipeline.hdr_FBO);
    glUseProgram(pipeline.background_program.handle);
    glUniform1f(glGetUniformLocation(pipeline.background_program.handle, "t"),
                static_cast<float>(t * 0.4));
    FW::RenderQuad();
    glClear(GL_DEPTH_BUFFER_BIT);

    // Separable blur of the bright part, alternating axes between the ping-pong targets.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glUseProgram(pipeline.blur_program.handle);
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

    // Composite: scene plus bloom, tone-mapped into the window.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(pipeline.bloom_final_program.handle);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, pipeline.color_buffers[0]);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, pipeline.pingpong_buffers[1]);
    glUniform1i(glGetUniformLocation(pipeline.bloom_final_program.handle, "bloom"), 1);
    glUniform1f(glGetUniformLocation(pipeline.bloom_final_program.handle, "exposure"), 1.0f);
    FW::RenderQuad();

    draw_info_texts(t);
    if (scene->capture)
        save_frame();
    frame_times.push_back(seconds_since_start(scene));
}
