// Times the show's frame on the current GL implementation: the background
// pass, the five blur passes and the composite, each finished with glFinish,
// at every other second of the timeline. Wall-clock times depend on how busy
// the machine is; the process's CPU time per frame (all of the software
// renderer's threads) does not, and compares shaders on a shared machine.
// Besides the means over the show, the CPU time per frame of each 8 s of it.
// Runs in a folder holding shaders/.
// Usage: show_bench NAME WIDTH HEIGHT; prints "NAME_<pass>_WxH: value ms" and
// "NAME_frame_cpu_WxH_<from>-<to>s: value ms".

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <string>
#include <vector>

#include "FW/Window.h"
#include "ShowLength.h"
#include "ShowPasses.h"

namespace {

const float show_length = static_cast<float>(show_seconds);
const float sample_step = 2.0f;
const int repeats = 3;
// The length of the stretches of the show reported one by one.
const float block_length = 8.0f;

double finished_ms(std::chrono::steady_clock::time_point start) {
    glFinish();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: show_bench NAME WIDTH HEIGHT\n");
        return 2;
    }
    std::string name = argv[1];
    int width = std::atoi(argv[2]);
    int height = std::atoi(argv[3]);
    FW::init(width, height, "show bench", false);
    show::set_demo_state();
    Pipeline::get().init();

    // Per sampled time: the median of a few frames for each pass and the whole.
    std::vector<double> background, blur, composite, frame, frame_cpu;
    for (float seconds = 0.0f; seconds < show_length; seconds += sample_step) {
        std::vector<double> b, u, c, f, cpu;
        draw_background_pass(seconds);
        draw_blur_passes();
        draw_composite_pass(true);
        glFinish();
        for (int i = 0; i < repeats; ++i) {
            double cpu_start = show::cpu_ms();
            auto start = std::chrono::steady_clock::now();
            draw_background_pass(seconds);
            b.push_back(finished_ms(start));
            auto blur_start = std::chrono::steady_clock::now();
            draw_blur_passes();
            u.push_back(finished_ms(blur_start));
            auto composite_start = std::chrono::steady_clock::now();
            draw_composite_pass(true);
            c.push_back(finished_ms(composite_start));
            f.push_back(finished_ms(start));
            cpu.push_back(show::cpu_ms() - cpu_start);
            glfwSwapBuffers(FW::window);
        }
        background.push_back(show::median(b));
        blur.push_back(show::median(u));
        composite.push_back(show::median(c));
        frame.push_back(show::median(f));
        frame_cpu.push_back(show::median(cpu));
    }

    std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::printf("%s_background_%s: %.2f ms\n", name.c_str(), size.c_str(), show::mean(background));
    std::printf("%s_blur_%s: %.2f ms\n", name.c_str(), size.c_str(), show::mean(blur));
    std::printf("%s_composite_%s: %.2f ms\n", name.c_str(), size.c_str(), show::mean(composite));
    std::printf("%s_frame_%s: %.2f ms\n", name.c_str(), size.c_str(), show::mean(frame));
    std::printf("%s_frame_worst_%s: %.2f ms\n", name.c_str(), size.c_str(),
                *std::max_element(frame.begin(), frame.end()));
    std::printf("%s_frame_cpu_%s: %.2f ms\n", name.c_str(), size.c_str(), show::mean(frame_cpu));
    const size_t per_block = static_cast<size_t>(block_length / sample_step);
    for (size_t first = 0; first < frame_cpu.size(); first += per_block) {
        const size_t last = std::min(first + per_block, frame_cpu.size());
        std::vector<double> block(frame_cpu.begin() + first, frame_cpu.begin() + last);
        const float from = first * sample_step;
        std::printf("%s_frame_cpu_%s_%g-%gs: %.2f ms\n", name.c_str(), size.c_str(), from,
                    std::min(from + block_length, show_length), show::mean(block));
    }
    FW::clean_up();
    return 0;
}
