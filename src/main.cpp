// The entry point: command line, start-up in its fixed order, the frame loop, shutdown.
#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "DrawCallback.h"
#include "FW/Window.h"
#include "GemField.h"
#include "LiveMode.h"
#include "Music.h"
#include "StartUp.h"
#include "TrackPlayer.h"
#include "singletons/Scene.h"
#include "singletons/UI.h"

#ifdef __EMSCRIPTEN__
#include "PageLive.h"
#endif

int main(int argc, char** argv) {
    ParseResult parsed = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        std::cerr << parsed.error << std::endl;
        return -1;
    }
    const Settings& settings = parsed.settings;

    // A tracks file that does not parse ends the run before anything starts.
    TrackPlayer tracks;
    if (!settings.tracks.empty() && !tracks.load(settings.tracks)) {
        std::cerr << tracks.error << std::endl;
        return -1;
    }

    // Live mode reads the shader files before start-up compiles them.
    std::unique_ptr<LiveMode> live;
    if (settings.live)
        live = std::make_unique<LiveMode>();
    start_up(settings);
    DrawCallback draw_callback;
    draw_callback.controls = [](float dt) { UI::get().logic(dt); };
    GemField field;
    if (settings.explore) {
        field.init(Scene::get()->gems);
        draw_callback.field = &field;
    }
    if (!settings.tracks.empty()) {
        tracks.can_fly = settings.explore;
        draw_callback.tracks = &tracks;
        UI::get().tracks = &tracks;
    }
    if (settings.music) {
        load_music();
        play_music();
    }
    if (settings.start > 0.0)
        seek_music(settings.start, true);
    if (settings.capture)
        draw_callback.start_capture_at(settings.start, settings.frames);
    if (live) {
        live->start(settings.start);
        draw_callback.live = live.get();
        live->tracks = draw_callback.tracks;
        UI::get().timeline = &live->timeline;
#ifdef __EMSCRIPTEN__
        page_live_attach(*live);
#endif
    }
    // The zero of the demo clock: after the music has started, right before
    // the first frame; a later start puts it that far back.
    const auto start_offset = std::chrono::duration<double>(settings.start);
    Scene::get()->start_time =
        std::chrono::system_clock::now() - std::chrono::duration_cast<std::chrono::system_clock::duration>(start_offset);

    FW::loop(draw_callback);

    if (settings.music)
        free_music();
    FW::clean_up();
    return 0;
}
