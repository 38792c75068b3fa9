// Start-up and frame-time figures of the real demo code, printed as
// "name: value unit". Runs from the run folder (it loads the shaders).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "DrawCallback.h"
#include "FW/Window.h"
#include "StartUp.h"
#include "singletons/Scene.h"

namespace {

// Seconds since this process started, from the kernel's start stamp.
double seconds_since_process_start() {
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i)
        fields >> field;  // field 22: start time in clock ticks after boot
    double start = std::stod(field) / sysconf(_SC_CLK_TCK);
    std::ifstream uptime("/proc/uptime");
    double now = 0;
    uptime >> now;
    return now - start;
}

}  // namespace

int main(int argc, char** argv) {
    const int width = argc > 1 ? std::atoi(argv[1]) : 640;
    const int height = argc > 2 ? std::atoi(argv[2]) : 360;
    const int frames = argc > 3 ? std::atoi(argv[3]) : 30;
    const std::string label = std::to_string(width) + "x" + std::to_string(height);

    Settings settings;
    settings.width = width;
    settings.height = height;
    settings.full_screen = false;
    start_up(settings);
    Scene* scene = Scene::get();
    DrawCallback cb;
    scene->start_time = std::chrono::system_clock::now();

    cb.draw(FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT);
    glFinish();
    std::printf("first_frame_after_process_start_%s: %.3f s\n", label.c_str(), seconds_since_process_start());

    auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        cb.draw(FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT);
        glFinish();
        glfwPollEvents();
        glfwSwapBuffers(FW::window);
    }
    std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - begin;
    std::printf("frame_time_%s: %.2f ms\n", label.c_str(), elapsed.count() / frames);
    std::fflush(stdout);
    return 0;
}
