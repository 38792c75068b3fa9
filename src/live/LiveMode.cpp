// Live mode: the shader watch, the timeline and the music that follows it.
#include "LiveMode.h"

#include "FW/GL.h"
#include "InfoOverlay.h"
#include "LiveOverlay.h"
#include "Music.h"
#include "TrackPlayer.h"
#include "singletons/FontEngine.h"
#include "singletons/Pipeline.h"
#include "singletons/Scene.h"

LiveMode::LiveMode() {
    // The same programs and fixed uniforms as the start-up loads and sets
    // (the text projection is set at every text draw).
    watch.watch([]() -> FW::ShaderProgram& { return Pipeline::get().standard_program; }, "shaders/standard.vert",
                "shaders/standard.frag", nullptr);
    watch.watch([]() -> FW::ShaderProgram& { return Pipeline::get().blur_program; }, "shaders/gaussian_blur.vert",
                "shaders/gaussian_blur.frag", set_blur_samplers);
    watch.watch([]() -> FW::ShaderProgram& { return Pipeline::get().bloom_final_program; },
                "shaders/bloom_final.vert", "shaders/bloom_final.frag", set_bloom_final_samplers);
    watch.watch([]() -> FW::ShaderProgram& { return Pipeline::get().background_program; },
                "shaders/background.vert", "shaders/background.frag", nullptr);
    watch.watch([]() -> FW::ShaderProgram& { return FontEngine::get().program; }, "shaders/fonts.vert",
                "shaders/fonts.frag", nullptr);
    watch.watch([]() -> FW::ShaderProgram& { return Scene::get()->lines.program; }, "shaders/basic.vert",
                "shaders/basic.frag", nullptr);
}

void LiveMode::start(double seconds) {
    timeline = LiveTimeline(seconds, glfwGetTime());
    last_time = seconds;
}

float LiveMode::advance() {
    watch.poll(glfwGetTime());
    if (tracks)
        tracks->poll(glfwGetTime());
    double t = timeline.frame_time(glfwGetTime());
    jumped = timeline.jumped;
    const bool resumed = music_paused && !timeline.paused;
    if (timeline.paused) {
        if (!music_paused)
            pause_music(true);
        music_stale = music_stale || timeline.jumped;
    } else if (timeline.jumped || resumed) {
        if (timeline.jumped || music_stale)
            seek_music(t, !music_stale && !resumed && t > last_time);
        if (resumed)
            pause_music(false);
        music_stale = false;
        // A seek decodes up to the new position: the picture starts with the music.
        timeline.anchor_position = t;
        timeline.anchor_wall = glfwGetTime();
    }
    music_paused = timeline.paused;
    timeline.jumped = false;
    last_time = t;
    return static_cast<float>(t);
}

float LiveMode::clock() const {
    return static_cast<float>(timeline.position(glfwGetTime()));
}

void LiveMode::draw_overlay(float t) const {
    const FontEngine& font = FontEngine::get();
    // The tracks' errors after the shaders'; their values with the info texts.
    std::vector<std::string> errors = watch.error_lines;
    std::vector<std::string> values;
    if (tracks) {
        for (const std::string& line : tracks->error_lines())
            errors.push_back(line);
        if (info_switches().show_info)
            values = tracks->value_lines();
    }
    draw_live_overlay(timeline.paused, t, errors, font.width, font.height, values);
}
