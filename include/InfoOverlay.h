#pragma once

#include <deque>

// The information texts drawn over each finished frame: the frame count of
// the last second, the demo time and the camera position, as the keys
// switched them on.

// Which texts the keys switched on (I: the info texts, F: the bare frame count).
struct InfoSwitches {
    bool show_info = false;
    bool show_fps = false;
};
InfoSwitches& info_switches();

// Drops the stamps more than one second older than t; returns how many remain.
unsigned long trim_frame_times(std::deque<float>& frame_times, float t);
// Trims the stamps and draws the switched-on texts for the frame at time t.
void draw_info_overlay(std::deque<float>& frame_times, float t);
