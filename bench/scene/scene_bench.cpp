// Time to generate and upload N gems, and the growth of the peak resident
// memory it causes. The scene can upload once per process: one N per run.
// Usage: scene_bench N   (from the run folder, for the line shaders)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "FW/Window.h"
#include "singletons/Scene.h"

namespace {

long peak_resident_kib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || atoi(argv[1]) <= 0) {
        fprintf(stderr, "usage: scene_bench N\n");
        return 2;
    }
    int gems = atoi(argv[1]);
    FW::init(64, 36, "scene bench", false);
    Scene* scene = Scene::get();
    glFinish();
    long peak_before = peak_resident_kib();

    auto start = std::chrono::steady_clock::now();
    scene->ngems = gems;
    scene->upload_vertices();
    glFinish();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    long peak_after = peak_resident_kib();
    printf("scene_generate_upload_%d: %.1f ms\n", gems, ms);
    printf("scene_peak_memory_per_gem_%d: %.0f bytes\n", gems, (peak_after - peak_before) * 1024.0 / gems);
    FW::clean_up();
    return 0;
}
