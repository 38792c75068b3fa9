#include <cmath>
#include <set>
#include <vector>

#include <gtest/gtest.h>
#include <glm/gtc/constants.hpp>

#include "CameraExpect.h"
#include "FW/Window.h"
#include "singletons/FontEngine.h"
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
        {{RIGHT_BUTTON}, 0.1f, {0, 0, -1}, {0, 0, 11}, 10},
        {{GLFW_KEY_DOWN, RIGHT_BUTTON, LEFT_BUTTON}, 0.1f, {0, 0, -1}, {0, 0, 10}, 10},
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
    FW::SCREEN_WIDTH = FW::SCREEN_HEIGHT = 0;
}

TEST(Text, GlyphsSitOnTheBaselineFromTheBottomLeftAndAdvanceThePen) {
    const int W = 400, H = 100;  // an offscreen target, cleared to black
    FontEngine& font = FontEngine::get();
    font.init(W, H);
    GLuint rb, fb;
    glGenRenderbuffers(1, &rb);
    glBindRenderbuffer(GL_RENDERBUFFER, rb);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, W, H);
    glGenFramebuffers(1, &fb);
    glBindFramebuffer(GL_FRAMEBUFFER, fb);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, rb);
    glViewport(0, 0, W, H);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    font.draw("LL", 10, 20, 20, {1, 1, 1});
    std::vector<unsigned char> image(4 * W * H);  // bottom row first
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, image.data());

    const FontEngine::Character& L = font.characters.at({20, 'L'});
    const int left = 10 + L.bearing.x, top = 20 + L.size.y, advance = L.advance >> 6;
    ASSERT_EQ(L.bearing.y, L.size.y);  // no descender
    ASSERT_LE(L.bearing.x + L.size.x, advance);
    auto red = [&](int x, int y) { return image[4 * (y * W + x)]; };
    auto lit = [&](int x0, int x1, int y0, int y1) {  // lit pixels in [x0, x1) x [y0, y1)
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += red(x, y) > 0;
        return n;
    };
    EXPECT_EQ(lit(0, W, 0, 20) + lit(0, W, top, H) + lit(0, left, 0, H), 0);
    EXPECT_GT(lit(left, left + 1, 20, top), 0);
    // The foot of the L is the baseline row: wider than the top row.
    EXPECT_GT(lit(0, W, 20, 21), 2 * lit(0, W, top - 1, top));
    // The second L is the first moved right by the advance.
    for (int y = 20; y < top; ++y)
        for (int x = 10; x < 10 + advance; ++x)
            ASSERT_EQ(red(x, y), red(x + advance, y)) << x << ", " << y;
}

}  // namespace
