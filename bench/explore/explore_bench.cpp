// Times explore mode's frame at 640x360 against the show's frame of the same
// run: for two views (the scene's first camera, and the field's centre
// looking down -z) the process's CPU time per frame with the sky and the
// field, averaged over the timeline like the show's, the stones drawn, the
// CPU time of the culling alone and the time the field pass's calls take on
// the calling thread (culling and submission; a software renderer also
// transforms the stones' vertices in that call). Runs in a folder holding
// shaders/. Usage: explore_bench GEMS; prints "explore_<gems>_<what>: value unit".

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "FW/Window.h"
#include "GemField.h"
#include "ShowLength.h"
#include "ShowPasses.h"
#include "singletons/Scene.h"

namespace {

const int width = 640, height = 360;
const float show_length = static_cast<float>(show_seconds);
const float sample_step = 4.0f;
const int repeats = 3;
const int cull_repeats = 20;

// The mean over the timeline of the median CPU time of a few frames.
double frame_cpu_ms(const std::function<void(float)>& draw_scene) {
    std::vector<double> per_time;
    for (float seconds = 1.0f; seconds < show_length; seconds += sample_step) {
        std::vector<double> cpu;
        for (int i = 0; i <= repeats; ++i) {
            const double start = show::cpu_ms();
            draw_scene(seconds);
            draw_blur_passes();
            draw_composite_pass(true);
            glFinish();
            if (i > 0)  // the first frame at a new time warms up
                cpu.push_back(show::cpu_ms() - start);
            glfwSwapBuffers(FW::window);
        }
        per_time.push_back(show::median(cpu));
    }
    return show::mean(per_time);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: explore_bench GEMS\n");
        return 2;
    }
    const int gems = std::atoi(argv[1]);
    FW::init(width, height, "explore bench", false);
    show::set_demo_state();
    Pipeline::get().init();
    Scene* scene = Scene::get();
    scene->ngems = gems;
    scene->upload_vertices();
    GemField field;
    field.init(scene->gems);
    const std::string prefix = "explore_" + std::to_string(gems) + "_";

    const double show_frame = frame_cpu_ms([](float seconds) { draw_background_pass(seconds); });
    std::printf("%sshow_frame_cpu_%dx%d: %.2f ms\n", prefix.c_str(), width, height, show_frame);

    struct View {
        const char* name;
        glm::mat4 view;
    };
    for (const View& v : {View{"default", scene->camera.view}, View{"centre", glm::mat4(1.0f)}}) {
        const std::string name = prefix + v.name + "_";
        std::vector<double> calls;
        const double frame = frame_cpu_ms([&](float seconds) {
            draw_sky_pass(seconds, v.view);
            const auto start = std::chrono::steady_clock::now();
            draw_field_pass(field, v.view, seconds);
            calls.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        });
        const glm::mat4 view_projection = field_projection(width, height) * v.view;
        const double cull_start = show::cpu_ms();
        for (int i = 0; i < cull_repeats; ++i)
            field.cull(view_projection);
        const double cull_ms = (show::cpu_ms() - cull_start) / cull_repeats;
        std::printf("%sframe_cpu_%dx%d: %.2f ms\n", name.c_str(), width, height, frame);
        std::printf("%sframe_vs_show: %.2f x\n", name.c_str(), frame / show_frame);
        std::printf("%sstones_drawn: %d stones\n", name.c_str(), field.visible);
        std::printf("%scull_cpu: %.3f ms\n", name.c_str(), cull_ms);
        std::printf("%sfield_pass_call: %.3f ms\n", name.c_str(), show::median(calls));
    }
    FW::clean_up();
    return 0;
}
