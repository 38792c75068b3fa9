#pragma once

#include <deque>

#include "FW/Callbacks.h"

// Draws one frame: the demo clock, the controls, the bloom chain, the info
// texts and, in capture mode, the frame written to disk.
class DrawCallback : public FW::IDrawCallback {
public:
    float last_time;
    int frame_number = 0;
    std::deque<float> frame_times;
    float capture_time = 0.0f;

    DrawCallback();
    void draw(int width, int height) override;
    void draw_info_texts(float t);
    void save_frame();
};

// Drops the stamps more than one second older than t; returns how many remain.
unsigned long trim_frame_times(std::deque<float>& frame_times, float t);
