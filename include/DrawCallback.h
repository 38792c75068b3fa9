#pragma once

#include <deque>
#include <functional>

#include "FW/Callbacks.h"

class FrameClock;
class GemField;
class TrackPlayer;

// Draws one frame: the demo clock, the controls, the bloom chain, the info
// texts and, in capture mode, the frame written to disk.
class DrawCallback : public FW::IDrawCallback {
public:
    float last_time;
    int frame_number = 0;
    std::deque<float> frame_times;
    float capture_time = 0.0f;
    // One past the last frame a capture writes.
    int capture_end;
    // Live mode's clock, reload and texts; null in the other modes.
    FrameClock* live = nullptr;
    // Applies the held keys and buttons for the frame's seconds; unset: no controls.
    std::function<void(float)> controls;
    // Explore mode's gem field, drawn over the sky; null in the other modes.
    GemField* field = nullptr;
    // The tracks of "--tracks": uniforms and the camera at every frame; null without it.
    TrackPlayer* tracks = nullptr;

    DrawCallback();
    // Capture mode starting at `seconds`: the first file is frame
    // round(seconds * 60), with the clock a whole run has at that frame;
    // `frames` files are written (0: up to the end of the show).
    void start_capture_at(double seconds, int frames);
    void draw(int width, int height) override;
    void draw_info_texts(float t);
    void save_frame();
};
