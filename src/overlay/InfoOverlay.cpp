// The information texts (frame rate, demo time, camera position; in the page also the drawing size)
// drawn over the picture.
#include <string>

#include <glm/glm.hpp>

#include "FW/Window.h"
#include "InfoOverlay.h"
#include "singletons/FontEngine.h"
#include "singletons/Scene.h"

namespace {

const int text_size = 20;
const float text_x = 10.0f;
const glm::vec3 text_colour(1.0f, 1.0f, 1.0f);
// Baselines in pixels from the bottom edge.
const float bottom_line_y = 15.0f;
const float fps_line_y = 45.0f;
const float time_line_y = 75.0f;
#ifdef __EMSCRIPTEN__
const float size_line_y = 105.0f;
#endif

}  // namespace

InfoSwitches& info_switches() {
    static InfoSwitches switches;
    return switches;
}

unsigned long trim_frame_times(std::deque<float>& frame_times, float t) {
    // A stamp exactly one second old still counts.
    while (!frame_times.empty() && t - frame_times.front() > 1.0f)
        frame_times.pop_front();
    return frame_times.size();
}

void draw_info_overlay(std::deque<float>& frame_times, float t) {
    const unsigned long count = trim_frame_times(frame_times, t);
    const InfoSwitches& switches = info_switches();
    FontEngine& font = FontEngine::get();

    if (switches.show_fps)
        font.draw(std::to_string(count), text_x, bottom_line_y, text_size, text_colour);
    if (switches.show_info) {
        font.draw("FPS: " + std::to_string(count), text_x, fps_line_y, text_size, text_colour);
        font.draw("Time: " + std::to_string(t), text_x, time_line_y, text_size, text_colour);
#ifdef __EMSCRIPTEN__
        // The page may draw smaller than itself, as slow frames ask.
        font.draw("Size: " + std::to_string(FW::SCREEN_WIDTH) + "x" + std::to_string(FW::SCREEN_HEIGHT), text_x,
                  size_line_y, text_size, text_colour);
#endif
        const glm::vec3 eye = glm::vec3(glm::inverse(Scene::get()->camera.view)[3]);
        font.draw("Camera: " + std::to_string(eye.x) + " " + std::to_string(eye.y) + " " +
                      std::to_string(eye.z),
                  text_x, bottom_line_y, text_size, text_colour);
    }
}
