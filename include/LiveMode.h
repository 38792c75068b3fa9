#pragma once

#include "FrameClock.h"
#include "LiveTimeline.h"
#include "ShaderWatch.h"

class TrackPlayer;

// Live mode ("--live"), driven by the frame drawing once per frame: the
// shader watch over every loaded program, the timeline that the keys move,
// the music that follows it, and the texts over the picture.
class LiveMode : public FrameClock {
public:
    ShaderWatch watch;
    LiveTimeline timeline{0.0, 0.0};
    // The tracks file ("--tracks"), watched beside the shaders; null without it.
    TrackPlayer* tracks = nullptr;
    // The state that advance() keeps between frames, and what it does in a
    // frame for each state of the timeline (- : either value):
    //
    //   timeline          music_paused  music_stale  the music                      then
    //   paused            false         -            pauses                         music_paused set
    //   paused, jumped    -             -            stays                          music_stale set
    //   playing, jumped   false         false        seeks: on the playing track    clock re-anchored
    //                                                when ahead of last_time, else
    //                                                from a reloaded track
    //   playing           true          true         seeks (reloaded), resumes      clock re-anchored,
    //                                                                               music_stale cleared
    //   playing           true          false        resumes (seeks, reloaded, if   clock re-anchored
    //                                                the resume frame jumped too)
    //   playing           false         false        plays on                       -
    //
    // `jumped` tells the frame drawn now that its clock jumped (no camera step,
    // the frame count restarts); `last_time` is the previous frame's clock.
    bool music_paused = false;
    bool music_stale = false;
    bool jumped = false;
    double last_time = 0.0;

    // Watches the files of the pipeline's, the font engine's and the line
    // store's programs; made before start-up loads them.
    LiveMode();
    // Starts the clock at `seconds`, once the window is open.
    void start(double seconds);
    // Starts a frame: rebuilds changed programs, reloads changed tracks, moves the clock on (a wrap at
    // the end included), makes the music follow any pause, resume or jump and
    // returns the frame's time.
    float advance() override;
    bool frame_jumped() const override { return jumped; }
    bool frame_paused() const override { return timeline.paused; }
    // The live clock now (for the frame-time stamps).
    float clock() const override;
    void draw_overlay(float t) const override;
};
