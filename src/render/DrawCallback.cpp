// One frame of the show: the demo clock, the passes, the texts and, in capture mode, the file;
// the frame drawing's methods, over the overlay's and the capture's own functions.
#include "DrawCallback.h"

#include <chrono>
#include <cstdlib>
#include <iostream>

#include "FW/GL.h"
#include "FW/Window.h"
#include "FrameCapture.h"
#include "FrameClock.h"
#include "FramePasses.h"
#include "InfoOverlay.h"
#include "ShowLength.h"
#include "TrackPlayer.h"
#include "singletons/Scene.h"

#ifdef __EMSCRIPTEN__
#include "Page.h"
#endif

namespace {

const float capture_step = 1.0f / 60.0f;
const float end_of_show = static_cast<float>(show_seconds);

// Wall-clock seconds since the scene's start time; in the browser the page's
// clock, which follows the music.
float seconds_since_start(const Scene* scene) {
#ifdef __EMSCRIPTEN__
    (void)scene;
    return static_cast<float>(page_clock());
#endif
    auto elapsed = std::chrono::system_clock::now() - scene->start_time;
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count();
    return static_cast<float>(ns) / 1000000000.0f;
}

// The end of the show or of a capture: the process ends; in the browser the
// page stops the frames and offers a replay.
void end_show() {
#ifdef __EMSCRIPTEN__
    page_show_ended();
#else
    exit(0);
#endif
}

}  // namespace

DrawCallback::DrawCallback() : last_time(static_cast<float>(glfwGetTime())), capture_end(capture_frame_count) {}

void DrawCallback::start_capture_at(double seconds, int frames) {
    // The same float sums as the frames before it, so that stretches rendered
    // separately match a whole run frame for frame.
    frame_number = first_capture_frame(seconds);
    if (frames > 0)
        capture_end = frame_number + frames;
    for (int frame = 0; frame < frame_number; ++frame)
        capture_time += capture_step;
}

void DrawCallback::draw(int, int) {
    Scene* scene = Scene::get();

    float t;
    if (scene->capture) {
        capture_time += capture_step;
        t = capture_time;
    } else if (live) {
        t = live->advance();
        // The frame count restarts after a jump of the clock.
        if (live->frame_jumped())
            frame_times.clear();
    } else {
        t = seconds_since_start(scene);
    }
    // The show's end, or the last of the frames a capture was asked for,
    // written. Live mode starts again at the end instead; a clock a hair
    // under it can still round to the end in float.
    if ((t >= end_of_show && !live) || frame_number >= capture_end) {
        end_show();
        return;
    }
    // A clock that went back (the page's replay) starts the frame count afresh.
    const bool went_back = t < last_time;
    if (went_back)
        frame_times.clear();
    // A jump of the live clock (seek, wrap, Home, step) or back is no time passing.
    const float dt = (live && live->frame_jumped()) || went_back ? 0.0f : t - last_time;
    last_time = t;
    if (controls)
        controls(dt);
    if (tracks)
        tracks->frame(t, scene->camera);

    if (field) {
        draw_sky_pass(t, scene->camera.view, tracks);
        draw_field_pass(*field, scene->camera.view, t, tracks);
    } else {
        draw_background_pass(t, tracks);
    }
    draw_blur_passes();
    draw_composite_pass(true);

    draw_info_texts(t);
    if (live)
        live->draw_overlay(t);
    if (scene->capture)
        save_frame();
    // A paused live clock stands still: its frames are not counted.
    if (!live)
        frame_times.push_back(seconds_since_start(scene));
    else if (!live->frame_paused())
        frame_times.push_back(live->clock());
#ifdef __EMSCRIPTEN__
    page_frame_drawn(t);
#endif
}

void DrawCallback::draw_info_texts(float t) {
    draw_info_overlay(frame_times, t);
}

void DrawCallback::save_frame() {
#ifndef __EMSCRIPTEN__
    const std::string name = capture_file_name(frame_number);
    std::cout << "Write to " << name << std::endl;
    // A frame that did not reach the disk ends the run, like the other file failures.
    if (!write_frame_file(name, FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT)) {
        std::cerr << "Error writing file: " << name << std::endl;
        exit(-1);
    }
#endif
    // The page has no folder to write to: its still stays on the canvas.
    ++frame_number;
}
