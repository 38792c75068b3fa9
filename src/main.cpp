#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "DrawCallback.h"
#include "FW/Window.h"
#include "Music.h"
#include "PixelBuffer.h"
#include "singletons/FontEngine.h"
#include "singletons/Pipeline.h"
#include "singletons/Scene.h"
#include "singletons/UI.h"

int main(int argc, char** argv) {
    ParseResult parsed = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        std::cerr << parsed.error << std::endl;
        return -1;
    }
    const Settings& settings = parsed.settings;

    FW::init(settings.width, settings.height, "Cool stuff", settings.full_screen);

    FontEngine::get().init(settings.width, settings.height);

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

    DrawCallback draw_callback;

    if (settings.music) {
        load_music();
        play_music();
    }
    scene->start_time = std::chrono::system_clock::now();

    FW::loop(draw_callback);

    if (settings.music)
        free_music();
    FW::clean_up();
    return 0;
}
