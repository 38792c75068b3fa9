// Times live mode's shader reload at 640x360 on the current GL implementation:
// from a save of the background shader to its detection by the watch, the
// compile and link of the new version, and the end of the first frame drawn
// with it (Mesa compiles much of a program at its first draw); then the
// watch's average cost per frame at 60 frames per second while nothing changes.
// Runs in a folder holding copies of shaders/ (it saves into them) and fonts/.
// Prints "name: value ms".

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "FW/Window.h"
#include "FramePasses.h"
#include "LiveMode.h"
#include "ShaderWatch.h"
#include "StartUp.h"

namespace {

using Clock = std::chrono::steady_clock;

const int width = 640;
const int height = 360;
const int saves = 9;
const int idle_frames = 300;
const char* const background = "shaders/background.frag";

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void draw_frame(float seconds) {
    draw_background_pass(seconds);
    draw_blur_passes();
    draw_composite_pass(true);
    glFinish();
    glfwSwapBuffers(FW::window);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    Settings settings;
    settings.width = width;
    settings.height = height;
    settings.full_screen = false;
    settings.gem_count = 10;
    settings.music = false;
    LiveMode live;
    start_up(settings);
    ShaderWatch& watch = live.watch;

    // Each save comes from another thread at a moment within a frame, as an
    // editor's does, while the main thread draws and polls like the demo.
    std::string original;
    FW::read_file(background, original);
    std::vector<double> detect, build, first_frame, to_frame;
    for (int save = 0; save < saves; ++save) {
        std::atomic<Clock::rep> saved{0};
        std::thread editor([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150 + 37 * save));
            saved = Clock::now().time_since_epoch().count();
            std::ofstream(background, std::ios::binary | std::ios::trunc) << original << "// save " << save << "\n";
        });
        while (watch.detect(glfwGetTime()) == 0)
            draw_frame(1.0f);
        editor.join();
        const Clock::time_point save_time{Clock::duration(saved.load())};
        detect.push_back(ms_since(save_time));
        const Clock::time_point building = Clock::now();
        watch.rebuild();
        build.push_back(ms_since(building));
        const Clock::time_point drawing = Clock::now();
        draw_frame(1.0f);
        first_frame.push_back(ms_since(drawing));
        to_frame.push_back(ms_since(save_time));
    }

    // The watch alone at 60 frames per second: most frames only read the clock.
    double watching = 0.0;
    for (int frame = 0; frame < idle_frames; ++frame) {
        const Clock::time_point start = Clock::now();
        watch.poll(glfwGetTime());
        watching += ms_since(start);
        std::this_thread::sleep_until(start + std::chrono::microseconds(16667));
    }
    std::vector<double> frames;
    for (int frame = 0; frame < 10; ++frame) {
        const Clock::time_point start = Clock::now();
        draw_frame(1.0f);
        frames.push_back(ms_since(start));
    }

    std::printf("live_detect_median_640x360: %.1f ms\n", median(detect));
    std::printf("live_detect_max_640x360: %.1f ms\n", *std::max_element(detect.begin(), detect.end()));
    std::printf("live_compile_link_median_640x360: %.1f ms\n", median(build));
    std::printf("live_first_frame_after_build_median_640x360: %.1f ms\n", median(first_frame));
    std::printf("live_save_to_frame_median_640x360: %.1f ms\n", median(to_frame));
    std::printf("live_frame_median_640x360: %.1f ms\n", median(frames));
    std::printf("live_watch_per_frame_640x360: %.4f ms\n", watching / idle_frames);
    FW::clean_up();
    return 0;
}
