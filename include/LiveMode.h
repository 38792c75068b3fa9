#pragma once

#include "LiveTimeline.h"
#include "ShaderWatch.h"

// Live mode ("--live"), driven by the frame drawing once per frame: the
// shader watch over every loaded program, the timeline that the keys move,
// the music that follows it, and the texts over the picture.
class LiveMode {
public:
    ShaderWatch watch;
    LiveTimeline timeline{0.0, 0.0};
    bool music_paused = false;
    // The clock jumped while paused: the music moves when play resumes.
    bool music_stale = false;
    // The clock jumped in the frame being drawn.
    bool jumped = false;
    double last_time = 0.0;

    // Watches the files of the pipeline's, the font engine's and the line
    // store's programs; made before start-up loads them.
    LiveMode();
    // Starts the clock at `seconds`, once the window is open.
    void start(double seconds);
    // Rebuilds changed programs, then takes the frame's time from the
    // timeline and makes the music follow any pause, resume or jump.
    float frame_time();
    // The live clock now (for the frame-time stamps).
    float clock() const;
    void draw_overlay(float t) const;
};
