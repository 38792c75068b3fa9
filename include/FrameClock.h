#pragma once

// A clock that drives the frames in place of the show's own and draws texts
// of its own over them (live mode), as the frame drawing sees it.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    // Starts a frame and returns its time.
    virtual float advance() = 0;
    // The clock jumped for this frame (seek, wrap, step): no time passed.
    virtual bool frame_jumped() const = 0;
    // Stands still: its frames are not counted.
    virtual bool frame_paused() const = 0;
    // The clock now, for the frame-time stamps.
    virtual float clock() const = 0;
    virtual void draw_overlay(float t) const = 0;
};
