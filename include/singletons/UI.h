#pragma once

#include "FW/Callbacks.h"

class LiveTimeline;
class TrackPlayer;

// Keyboard and mouse controls: flag toggles, mouse look and camera flight.
class UI {
public:
    class KeyCallback : public FW::IKeyEventCallback {
    public:
        void callback(int key, int scancode, int action, int mods) override;
    };
    class MouseCallback : public FW::IMousePosCallback {
    public:
        void callback(double x, double y) override;
    };

    KeyCallback key_receiver;
    MouseCallback mouse_receiver;
    bool mouse_look = false;
    // Live mode's timeline, which its keys move; null in the other modes.
    LiveTimeline* timeline = nullptr;
    // The tracks of "--tracks", whose keys C, K, X, [ and ] act on; null without it.
    TrackPlayer* tracks = nullptr;

    static UI& get();
    // Applies the held keys and mouse buttons for dt seconds.
    void logic(float dt);

private:
    UI() = default;
    UI(const UI&) = delete;
    UI& operator=(const UI&) = delete;
};

struct PitchYaw {
    float pitch;
    float yaw;
};

// Maps a cursor position in a width x height window to absolute angles.
PitchYaw mouse_look_angles(double x, double y, int width, int height);
