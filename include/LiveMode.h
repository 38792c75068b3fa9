#pragma once

#include "LiveTimeline.h"
#include "ShaderWatch.h"

// Live mode ("--live"), driven by the frame drawing once per frame: the
// shader watch over every loaded program, the timeline that the keys move,
// the music that follows it, and the texts over the picture.
class LiveMode {
public:
    ShaderWatch watch;
    LiveTimeline timeline;
    bool music_paused = false;
    // The clock jumped while paused: the music moves when play resumes.
    bool music_stale = false;
    // The clock jumped in the frame being drawn.
    bool jumped = false;
    double last_time;
    int text_width;
    int text_height;

    // Watches the programs of the pipeline, the font engine and the line
    // store, which must be loaded; the clock starts at `start` seconds.
    LiveMode(double start, int text_width, int text_height);
    // Rebuilds changed programs, then takes the frame's time from the
    // timeline and makes the music follow any pause, resume or jump.
    float frame_time();
    // The live clock now (for the frame-time stamps).
    float clock() const;
    void draw_overlay(float t) const;
};
