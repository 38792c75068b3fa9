// Frame capture figures, printed as "name: value unit".
//   capture_bench rate W H FRAMES   frames per second of the real frame loop with
//                                   and without capture, and the capture's parts;
//                                   runs from a folder with the data and capture/
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "Bitmap.h"
#include "DrawCallback.h"
#include "FW/Window.h"
#include "PixelBuffer.h"
#include "StartUp.h"
#include "singletons/Scene.h"

namespace {

using Clock = std::chrono::steady_clock;

// Median of `runs` timings of `work`, in milliseconds.
double median_ms(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto begin = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[runs / 2];
}

// Frames per second of `frames` turns of the frame loop (draw, poll, swap).
double loop_fps(DrawCallback& cb, int frames) {
    auto begin = Clock::now();
    for (int i = 0; i < frames; ++i) {
        cb.draw(FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT);
        glfwPollEvents();
        glfwSwapBuffers(FW::window);
    }
    glFinish();
    return frames / std::chrono::duration<double>(Clock::now() - begin).count();
}

void bench_rate(int width, int height, int frames) {
    const std::string label = std::to_string(width) + "x" + std::to_string(height);
    Settings settings;
    settings.width = width;
    settings.height = height;
    settings.full_screen = false;
    settings.capture = true;
    start_up(settings);
    Scene* scene = Scene::get();
    DrawCallback cb;
    scene->start_time = std::chrono::system_clock::now();

    scene->capture = false;
    loop_fps(cb, 3);
    const double plain_fps = loop_fps(cb, frames);
    scene->capture = true;
    const double capture_fps = loop_fps(cb, frames);

    // The capture on its own, and its parts, on frames whose drawing has
    // finished: the read-back, the encode and one write of the file.
    const int parts_runs = 5;
    std::vector<double> save_times;
    for (int i = 0; i < parts_runs; ++i) {
        cb.draw(FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT);
        glFinish();
        save_times.push_back(median_ms(1, [&] { cb.save_frame(); }));
    }
    std::nth_element(save_times.begin(), save_times.begin() + parts_runs / 2, save_times.end());
    const double save_ms = save_times[parts_runs / 2];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    double readback_ms = median_ms(parts_runs, [&] {
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixel_buffer.data());
    });
    unsigned char* out = nullptr;
    const int length = bitmap_encode_rgb(pixel_buffer.data(), width, height, &out);
    double encode_ms = median_ms(parts_runs, [&] {
        unsigned char* again = nullptr;
        bitmap_encode_rgb(pixel_buffer.data(), width, height, &again);
        delete[] again;
    });
    // A new file each time, as the capture writes.
    int written = 0;
    double write_ms = median_ms(parts_runs, [&] {
        std::ofstream("capture/bench" + std::to_string(written++) + ".bmp", std::ios::binary)
            .write(reinterpret_cast<char*>(out), length);
    });
    delete[] out;
    for (int i = 0; i < written; ++i)
        std::remove(("capture/bench" + std::to_string(i) + ".bmp").c_str());

    std::printf("frames_per_second_%s: %.1f fps\n", label.c_str(), plain_fps);
    std::printf("capture_frames_per_second_%s: %.1f fps\n", label.c_str(), capture_fps);
    std::printf("capture_save_frame_%s: %.2f ms\n", label.c_str(), save_ms);
    std::printf("capture_readback_%s: %.2f ms\n", label.c_str(), readback_ms);
    std::printf("capture_encode_%s: %.2f ms\n", label.c_str(), encode_ms);
    std::printf("capture_file_write_%s: %.2f ms\n", label.c_str(), write_ms);
    std::printf("capture_save_frame_over_readback_and_write_%s: %.2f x\n", label.c_str(),
                save_ms / (readback_ms + write_ms));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "rate") {
        bench_rate(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
        return 0;
    }
    std::fprintf(stderr, "usage: capture_bench rate WIDTH HEIGHT FRAMES\n");
    return 2;
}
