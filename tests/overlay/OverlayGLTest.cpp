#include <algorithm>
#include <cmath>
#include <deque>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <glm/gtc/constants.hpp>

#include "CameraExpect.h"
#include "DrawCallback.h"
#include "FW/Window.h"
#include "GLTestContext.h"
#include "InfoOverlay.h"
#include "LiveMode.h"
#include "singletons/FontEngine.h"
#include "singletons/Pipeline.h"
#include "singletons/Scene.h"
#include "singletons/UI.h"

// Held keys and mouse buttons: this test defines the polling, so the real one is not linked.
std::set<int> held;
namespace FW {
bool key_is_down(int key) { return held.count(key) != 0; }
bool mouse_button_is_down(int button) { return held.count(-1 - button) != 0; }
}  // namespace FW

namespace {

const float pi = glm::pi<float>();
const int LEFT_BUTTON = -1 - GLFW_MOUSE_BUTTON_LEFT, RIGHT_BUTTON = -1 - GLFW_MOUSE_BUTTON_RIGHT;

TEST(Controls, HeldKeysAndButtonsTurnThenMoveAtTheFrameStartSpeed) {
    // The camera starts at (0, 0, 10) looking along -z, at speed 10.
    Scene* scene = Scene::get();
    const glm::mat4 start = scene->camera.view;
    struct Case { std::set<int> keys; float dt; glm::vec3 forward, eye; float speed; };
    const Case cases[] = {
        {{GLFW_KEY_W}, 1.0f, {0, std::sin(1.0f), -std::cos(1.0f)}, {0, 0, 10}, 10},
        {{GLFW_KEY_W, GLFW_KEY_S}, 0.7f, {0, 0, -1}, {0, 0, 10}, 10},
        {{GLFW_KEY_D}, pi / 2, {1, 0, 0}, {0, 0, 10}, 10},
        // A turns first, so Q's "left" is then +z.
        {{GLFW_KEY_A, GLFW_KEY_Q}, pi / 2, {-1, 0, 0}, {0, 0, 10 + 5 * pi}, 10},
        {{GLFW_KEY_E}, 0.5f, {0, 0, -1}, {5, 0, 10}, 10},
        // The speed changes after this frame's moves.
        {{GLFW_KEY_KP_ADD, GLFW_KEY_UP}, 0.5f, {0, 0, -1}, {0, 0, 5}, 15},
        {{GLFW_KEY_KP_SUBTRACT, GLFW_KEY_DOWN}, 0.5f, {0, 0, -1}, {0, 0, 15}, 5},
        // A key and its mouse button together move once.
        {{GLFW_KEY_UP, LEFT_BUTTON}, 0.1f, {0, 0, -1}, {0, 0, 9}, 10},
        {{GLFW_KEY_DOWN, RIGHT_BUTTON, LEFT_BUTTON}, 0.1f, {0, 0, -1}, {0, 0, 10}, 10},
        {{RIGHT_BUTTON}, 0.1f, {0, 0, -1}, {0, 0, 11}, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        scene->camera.view = start;
        scene->camera_speed = 10.0f;
        held = c.keys;
        UI::get().logic(c.dt);
        expect_near(scene->camera.get_forward(), c.forward, 1e-4f);
        expect_near(eye(scene->camera), c.eye, 1e-4f);
        EXPECT_FLOAT_EQ(scene->camera_speed, c.speed);
    }
}

TEST(Controls, MouseLookIsSkippedWhileTheWindowHasNoArea) {
    Scene* scene = Scene::get();
    UI::get().mouse_look = true;
    FW::SCREEN_WIDTH = 1600, FW::SCREEN_HEIGHT = 900;
    UI::get().mouse_receiver.callback(400, 225);
    const glm::mat4 turned = scene->camera.view;
    for (glm::ivec2 size : {glm::ivec2(0, 900), glm::ivec2(1600, 0)}) {
        FW::SCREEN_WIDTH = size.x, FW::SCREEN_HEIGHT = size.y;
        UI::get().mouse_receiver.callback(10, 10);
        EXPECT_EQ(scene->camera.view, turned);
    }
    UI::get().mouse_look = false;
    FW::SCREEN_WIDTH = GL_TEST_WIDTH, FW::SCREEN_HEIGHT = GL_TEST_HEIGHT;
}

TEST(MouseLook, CentreEdgesAndOutsideTheWindow) {
    struct Case { double x, y; float pitch, yaw; };
    const Case cases[] = {{800, 450, 0, 0},        {0, 450, 0, pi},        {800, 900, -pi / 2, 0},
                          {400, 225, pi / 4, pi / 2}, {-800, -450, pi, 2 * pi}, {3200, 1800, -3 * pi / 2, -3 * pi}};
    for (const Case& c : cases) {
        const PitchYaw a = mouse_look_angles(c.x, c.y, 1600, 900);
        EXPECT_EQ(std::make_pair(a.pitch, a.yaw), std::make_pair(c.pitch, c.yaw)) << c.x << ", " << c.y;
    }
}

TEST(KeyToggles, PressesFlipTheirFlagRepeatsAndReleasesDoNot) {
    UI& ui = UI::get();
    InfoSwitches& texts = info_switches();
    for (auto [code, flag] : {std::pair(GLFW_KEY_M, &ui.mouse_look), {GLFW_KEY_I, &texts.show_info},
                              {GLFW_KEY_F, &texts.show_fps}}) {
        ui.mouse_look = texts.show_info = texts.show_fps = false;
        for (int action : {GLFW_PRESS, GLFW_REPEAT, GLFW_RELEASE, GLFW_REPEAT})
            ui.key_receiver.callback(code, 0, action, 0);
        EXPECT_EQ(std::make_pair(*flag, ui.mouse_look + texts.show_info + texts.show_fps), std::make_pair(true, 1)) << code;
        ui.key_receiver.callback(code, 0, GLFW_PRESS, 0);
        EXPECT_FALSE(*flag) << code;
    }
}

// A live frame whose clock jumped (a seek back here; a wrap, Home and a step alike) moves the camera by 0
// and restarts the frame count; the frame before it flies.
TEST(LiveFrame, AJumpMovesTheCameraByZeroAndRestartsTheFrameCount) {
    Pipeline::get().init();  // no text is drawn
    LiveMode live;
    live.start(10.0);
    DrawCallback frame;
    frame.live = &live;
    frame.controls = [](float dt) { UI::get().logic(dt); };
    const glm::mat4& view = Scene::get()->camera.view;
    held = {GLFW_KEY_UP};
    frame.draw(0, 0);
    const glm::mat4 first = view;
    frame.draw(0, 0);
    const glm::mat4 flown = view;
    live.timeline.seek(-5.0, glfwGetTime());  // back: no stamp of before is trimmed as old
    frame.draw(0, 0);
    held.clear();
    EXPECT_NE(flown, first);
    EXPECT_EQ(view, flown);
    EXPECT_EQ(frame.frame_times.size(), 1u);
}

TEST(FrameTimes, TrimKeepsStampsUpToOneSecondOldInclusive) {
    std::deque<float> stamps{0.5f, 1.0f, 1.5f, 2.0f};
    EXPECT_EQ(trim_frame_times(stamps, 2.0f), 3u);
    EXPECT_EQ(trim_frame_times(stamps, 2.0001f), 2u);
    EXPECT_EQ(trim_frame_times(stamps, 10.0f), 0u);
}

// "LL" drawn into the test window at x 10 on the baseline 8 rows up: the first L fills the box
// its bearing and size give, foot on the baseline, and the second is the first moved by the advance.
TEST(Text, GlyphsSitOnTheBaselineFromTheBottomLeftAndAdvanceThePen) {
    const int W = GL_TEST_WIDTH, H = GL_TEST_HEIGHT, base = 8;
    FontEngine& font = FontEngine::get();
    font.init(W, H);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    font.draw("LL", 10, base, 20, {1, 1, 1});
    std::vector<unsigned char> image(4 * W * H);  // bottom row first
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
    const FontEngine::Character& L = font.characters.at({20, 'L'});
    const int advance = L.advance >> 6;
    ASSERT_LE(10 + 2 * advance, W);
    auto red = [&](int x, int y) { return image[4 * (y * W + x)]; };
    int min_x = W, min_y = H, max_y = -1;
    std::vector<int> row(H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (x >= 10 && x < 10 + advance) {
                ASSERT_EQ(red(x, y), red(x + advance, y)) << x << ", " << y;
            }
            if (red(x, y) > 0)
                min_x = std::min(min_x, x), min_y = std::min(min_y, y), max_y = y, row[y]++;
        }
    EXPECT_EQ(std::make_tuple(min_x, min_y, max_y),
              std::make_tuple(10 + L.bearing.x, base - (L.size.y - L.bearing.y), base + L.bearing.y - 1));
    EXPECT_GT(row[base], 2 * row[max_y]);  // the foot of the L is the bottom row
}

}  // namespace
