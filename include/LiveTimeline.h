#pragma once

#include "ShowLength.h"

// The demo clock of live mode: it plays, pauses, seeks and loops within the
// show. Pure logic on wall-clock seconds handed in by the caller, so that the
// frame drawing, the key handler and the tests drive it the same way.
class LiveTimeline {
public:
    static constexpr double show_length = show_seconds;
    static constexpr double frame_step = 1.0 / 60.0;

    // The position is anchor_position + (wall clock - anchor_wall) while
    // playing, anchor_position while paused: no drift from summed frame steps.
    double anchor_position = 0.0;
    double anchor_wall = 0.0;
    bool paused = false;
    // The position moved other than by playing; whoever follows the clock
    // (the music) clears it after catching up.
    bool jumped = false;

    LiveTimeline(double start, double wall_now);
    double position(double wall_now) const;
    // Moves to `seconds`: before the start clamps to 0, the end or beyond
    // starts the show again from 0.
    void set(double seconds, double wall_now);
    void seek(double delta, double wall_now);
    void toggle_pause(double wall_now);
    // One frame forward (+1) or back (-1); only while paused.
    void step(int frames, double wall_now);
    // The position for the frame drawn now; reaching the end starts again from 0.
    double frame_time(double wall_now);
};

// Applies a timeline key (Space, Left, Right, Page Up, Page Down, Home,
// comma, period) with GLFW's key code and action; true when the key is one of
// them. Space and Home act on presses, the seeks and steps also on repeats.
bool apply_timeline_key(LiveTimeline& timeline, int key, int action, double wall_now);
