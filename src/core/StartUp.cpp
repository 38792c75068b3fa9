// The start-up order of the system, from the window to the capture buffer,
// with the checks that refuse a gem count the machine cannot hold.
#include "StartUp.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "FW/Window.h"
#include "PixelBuffer.h"
#include "singletons/FontEngine.h"
#include "singletons/Pipeline.h"
#include "singletons/Scene.h"
#include "singletons/UI.h"

std::uint64_t gem_memory_estimate(int gem_count) {
    return gem_count > 0 ? static_cast<std::uint64_t>(gem_count) * GEM_MEMORY_BYTES : 0;
}

void start_up(const Settings& settings) {
    const std::uint64_t needed = gem_memory_estimate(settings.gem_count);
    const std::uint64_t physical =
        static_cast<std::uint64_t>(sysconf(_SC_PHYS_PAGES)) * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    if (needed > physical) {
        const double gib = 1024.0 * 1024.0 * 1024.0;
        std::fprintf(stderr, "Too many gems: %d gems need about %.1f GiB of memory, more than the %.1f GiB this machine has\n",
                     settings.gem_count, needed / gib, physical / gib);
        std::exit(-1);
    }

    FW::init(settings.width, settings.height, "Cool stuff", settings.full_screen);

    // The text projection keeps the requested size, also in full screen; a
    // size of 0 or less there would hide every text, so the framebuffer's
    // size takes its place.
    int text_width = settings.width, text_height = settings.height;
    if (settings.full_screen && (text_width <= 0 || text_height <= 0))
        glfwGetFramebufferSize(FW::window, &text_width, &text_height);
    FontEngine::get().init(text_width, text_height);

    UI& ui = UI::get();
    FW::set_key_callback(ui.key_receiver);
    FW::set_mouse_callback(ui.mouse_receiver);

    Pipeline::get().init();

    Scene* scene = Scene::get();
    scene->ngems = settings.gem_count;
    scene->upload_vertices();
    scene->capture = settings.capture;
    if (scene->capture)
        pixel_buffer.resize(rgb_frame_size(FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT));
}
