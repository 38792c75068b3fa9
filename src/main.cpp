#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "DrawCallback.h"
#include "FW/Window.h"
#include "Music.h"
#include "StartUp.h"
#include "singletons/Scene.h"

int main(int argc, char** argv) {
    ParseResult parsed = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        std::cerr << parsed.error << std::endl;
        return -1;
    }
    const Settings& settings = parsed.settings;

    start_up(settings);
    DrawCallback draw_callback;
    if (settings.music) {
        load_music();
        play_music();
    }
    // The zero of the demo clock: after the music has started, right before the first frame.
    Scene::get()->start_time = std::chrono::system_clock::now();

    FW::loop(draw_callback);

    if (settings.music)
        free_music();
    FW::clean_up();
    return 0;
}
