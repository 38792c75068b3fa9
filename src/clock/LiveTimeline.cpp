// The live-mode clock and its keys; see LiveTimeline.h.
#include "LiveTimeline.h"

#include <GLFW/glfw3.h>

namespace {
const double seek_step = 5.0;
// One bar of the soundtrack: 4 beats at 120 BPM.
const double bar = 2.0;
}  // namespace

LiveTimeline::LiveTimeline(double start, double wall_now) : anchor_position(start), anchor_wall(wall_now) {}

double LiveTimeline::position(double wall_now) const {
    return paused ? anchor_position : anchor_position + (wall_now - anchor_wall);
}

void LiveTimeline::set(double seconds, double wall_now) {
    if (seconds < 0.0 || seconds >= show_length)
        seconds = 0.0;
    anchor_position = seconds;
    anchor_wall = wall_now;
    jumped = true;
}

void LiveTimeline::seek(double delta, double wall_now) {
    const double target = position(wall_now) + delta;
    // A seek back past the start stops at 0 rather than at the end.
    set(target < 0.0 ? 0.0 : target, wall_now);
}

void LiveTimeline::toggle_pause(double wall_now) {
    anchor_position = position(wall_now);
    anchor_wall = wall_now;
    paused = !paused;
}

void LiveTimeline::step(int frames, double wall_now) {
    if (paused)
        seek(frames * frame_step, wall_now);
}

double LiveTimeline::frame_time(double wall_now) {
    if (position(wall_now) >= show_length)
        set(0.0, wall_now);
    return position(wall_now);
}

bool apply_timeline_key(LiveTimeline& timeline, int key, int action, double wall_now) {
    const bool press = action == GLFW_PRESS;
    const bool press_or_repeat = press || action == GLFW_REPEAT;
    switch (key) {
    case GLFW_KEY_SPACE:
        if (press)
            timeline.toggle_pause(wall_now);
        return true;
    case GLFW_KEY_HOME:
        if (press)
            timeline.set(0.0, wall_now);
        return true;
    case GLFW_KEY_LEFT:
    case GLFW_KEY_RIGHT:
        if (press_or_repeat)
            timeline.seek(key == GLFW_KEY_RIGHT ? seek_step : -seek_step, wall_now);
        return true;
    case GLFW_KEY_PAGE_UP:
    case GLFW_KEY_PAGE_DOWN:
        if (press_or_repeat)
            timeline.seek(key == GLFW_KEY_PAGE_DOWN ? bar : -bar, wall_now);
        return true;
    case GLFW_KEY_COMMA:
    case GLFW_KEY_PERIOD:
        if (press_or_repeat)
            timeline.step(key == GLFW_KEY_PERIOD ? 1 : -1, wall_now);
        return true;
    default:
        return false;
    }
}
