// The interactive controls: toggles, camera steering, mouse look and, in live mode, the timeline keys.
#include "singletons/UI.h"

#include <glm/gtc/constants.hpp>

#include "FW/Window.h"
#include "InfoOverlay.h"
#include "LiveTimeline.h"
#include "TrackPlayer.h"
#include "singletons/Scene.h"

UI& UI::get() {
    static UI instance;
    return instance;
}

// Presses toggle the flags; repeats and releases change nothing. In live
// mode the timeline takes its own keys first.
void UI::KeyCallback::callback(int key, int, int action, int) {
    UI& ui = UI::get();
    if (ui.timeline && apply_timeline_key(*ui.timeline, key, action, glfwGetTime()))
        return;
    if (ui.tracks && apply_track_key(*ui.tracks, ui.timeline, Scene::get()->camera, key, action, glfwGetTime()))
        return;
    if (action != GLFW_PRESS)
        return;
    switch (key) {
    case GLFW_KEY_M:
        ui.mouse_look = !ui.mouse_look;
        break;
    case GLFW_KEY_I:
        info_switches().show_info = !info_switches().show_info;
        break;
    case GLFW_KEY_F:
        info_switches().show_fps = !info_switches().show_fps;
        break;
    default:
        break;
    }
}

void UI::MouseCallback::callback(double x, double y) {
    // A window without area (minimised on some systems) would give NaN angles.
    if (!UI::get().mouse_look || FW::SCREEN_WIDTH <= 0 || FW::SCREEN_HEIGHT <= 0)
        return;
    PitchYaw angles = mouse_look_angles(x, y, FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT);
    Scene::get()->camera.set_pitch_yaw(angles.pitch, angles.yaw);
}

// The steps are spelled out one by one so that the double-precision rounding
// is the same on every build: yaw = -2pi (x/w - 0.5), pitch = -pi (y/h - 0.5).
PitchYaw mouse_look_angles(double x, double y, int width, int height) {
    const double pi = glm::pi<double>();
    double u = x / width;
    u = u - 0.5;
    u = u + u;
    u = -u;
    u = u + u;
    u = u * pi;
    u = u * 0.5;
    double v = y / height;
    v = v - 0.5;
    v = v + v;
    v = -v;
    v = v + v;
    v = v * pi;
    v = v * 0.25;
    return {static_cast<float>(v), static_cast<float>(u)};
}

void UI::logic(float dt) {
    Scene* scene = Scene::get();
    FW::Camera& camera = scene->camera;
    // All moves of this frame use the speed it started with.
    const float speed = scene->camera_speed;
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    const float speed_change_rate = 10.0f;

    if (FW::key_is_down(GLFW_KEY_W))
        camera.rotate(dt, camera.get_right());
    if (FW::key_is_down(GLFW_KEY_S))
        camera.rotate(-dt, camera.get_right());
    if (FW::key_is_down(GLFW_KEY_A))
        camera.rotate(dt, up);
    if (FW::key_is_down(GLFW_KEY_D))
        camera.rotate(-dt, up);
    if (FW::key_is_down(GLFW_KEY_Q))
        camera.translate(camera.get_right() * (-dt * speed));
    if (FW::key_is_down(GLFW_KEY_E))
        camera.translate(camera.get_right() * (dt * speed));
    if (FW::key_is_down(GLFW_KEY_KP_ADD))
        scene->camera_speed += dt * speed_change_rate;
    if (FW::key_is_down(GLFW_KEY_KP_SUBTRACT))
        scene->camera_speed += (-dt) * speed_change_rate;
    // The mouse button is polled only when the key is not held, so both move once.
    if (FW::key_is_down(GLFW_KEY_UP) || FW::mouse_button_is_down(GLFW_MOUSE_BUTTON_LEFT))
        camera.go_forward(dt * speed);
    if (FW::key_is_down(GLFW_KEY_DOWN) || FW::mouse_button_is_down(GLFW_MOUSE_BUTTON_RIGHT))
        camera.translate(camera.get_forward() * (-dt * speed));
}
