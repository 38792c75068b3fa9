// The gem field drawn by the demo's own field pass into the pipeline's HDR target (320x180, cleared
// black in place of the sky), read back as floats and compared with where a perspective of 45
// degrees vertical (near 0.1, far 1000) puts each generated stone.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "FW/Window.h"
#include "FramePasses.h"
#include "GLTestContext.h"
#include "GemField.h"
#include "singletons/Pipeline.h"
#include "singletons/Scene.h"
#include "singletons/UI.h"

namespace {

const int width = 320, height = 180;
const float climax = 30.0f;  // seconds: full light, no fade

GemField& field() {
    static GemField* instance = nullptr;
    if (!instance) {
        FW::SCREEN_WIDTH = width;  // the targets, not the test window
        FW::SCREEN_HEIGHT = height;
        Pipeline::get().init();
        Scene* scene = Scene::get();
        scene->ngems = 10000;
        scene->upload_vertices();
        instance = new GemField;
        instance->init(scene->gems);
    }
    return *instance;
}

// Brightest channel per pixel, bottom row first.
std::vector<float> draw(float seconds) {
    GemField& stones = field();
    Pipeline& pipeline = Pipeline::get();
    glBindFramebuffer(GL_FRAMEBUFFER, pipeline.hdr_FBO);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw_field_pass(stones, Scene::get()->camera.view, seconds);
    std::vector<float> rgb(width * height * 3), peak(width * height);
    glBindTexture(GL_TEXTURE_2D, pipeline.color_buffers[0]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, rgb.data());
    for (int i = 0; i < width * height; ++i)
        peak[i] = std::max({rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]});
    return peak;
}

// A stone's centre in pixels and a radius that covers its bounding sphere.
struct Projected { float x, y, radius; };

std::vector<Projected> project_stones() {
    const glm::mat4 view = Scene::get()->camera.view;
    const glm::mat4 projection = glm::perspective(glm::radians(45.0f), float(width) / height, 0.1f, 1000.0f);
    const float focal = 0.5f * height / std::tan(glm::radians(22.5f));
    std::vector<Projected> stones;
    for (const Gem& gem : Scene::get()->gems) {
        glm::vec4 eye = view * glm::vec4(gem.position, 1.0f);
        if (eye.z > -1.5f)
            continue;
        glm::vec4 clip = projection * eye;
        // Off the axis a sphere's image stretches: half as wide again covers the picture's corners.
        stones.push_back({(clip.x / clip.w + 1.0f) * 0.5f * width, (clip.y / clip.w + 1.0f) * 0.5f * height,
                          1.5f * focal / -eye.z + 1.0f});
    }
    return stones;
}

// Every stone a few pixels wide whose centre is in the picture is lit at its centre (a nearer
// stone in front is lit too), and every lit pixel lies on some stone.
void expect_stones_where_projected(const std::vector<float>& peak) {
    std::vector<Projected> stones = project_stones();

    int checked = 0;
    for (const Projected& s : stones) {
        int x = int(s.x), y = int(s.y);
        if (s.radius < 3.0f || s.radius > 30.0f || x < 1 || y < 1 || x >= width - 1 || y >= height - 1)
            continue;
        ++checked;
        float centre = 0.0f;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                centre = std::max(centre, peak[(y + dy) * width + x + dx]);
        EXPECT_GT(centre, 0.0f) << "no stone drawn at " << s.x << ", " << s.y;
    }
    EXPECT_GE(checked, 5);
    int lit = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (peak[y * width + x] <= 0.0f)
                continue;
            ++lit;
            bool on_stone = std::any_of(stones.begin(), stones.end(), [&](const Projected& s) {
                return std::hypot(x + 0.5f - s.x, y + 0.5f - s.y) <= s.radius;
            });
            ASSERT_TRUE(on_stone) << "lit pixel " << x << ", " << y << " far from every stone";
        }
    EXPECT_GT(lit, 100);
}

// From the scene's first camera, then turned by mouse look to absolute angles (yaw 72 degrees
// left, pitch 18 degrees up): the stones land where the projection puts them, and only the stones
// near the view are submitted.
TEST(GemField, StonesLandWhereTheProjectionPutsThemAsTheViewTurns) {
    expect_stones_where_projected(draw(climax));
    const int ahead = field().visible;
    EXPECT_GT(ahead, 100);
    EXPECT_LT(ahead, 1500);

    UI& ui = UI::get();
    ui.mouse_look = true;
    ui.mouse_receiver.callback(0.3 * width, 0.4 * height);
    expect_stones_where_projected(draw(climax));
    EXPECT_NE(field().visible, ahead);
    ui.mouse_look = false;
    Scene::get()->camera.set_pitch_yaw(0.0f, 0.0f);
}

// One bar apart the show's light is the same and only the spin has moved on (60 degrees a
// second): the near stones' pixels change, the rest stays black.
TEST(GemField, StonesSpinWithTheDemoTime) {
    std::vector<float> before = draw(climax), after = draw(climax + 2.0f);
    double change = 0.0;
    int lit_before = 0, lit_after = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        change += std::abs(after[i] - before[i]);
        lit_before += before[i] > 0.0f;
        lit_after += after[i] > 0.0f;
    }
    EXPECT_GT(change, 10.0);
    EXPECT_NEAR(lit_before, lit_after, 0.3 * lit_before);
    EXPECT_EQ(draw(climax), before);
}

}  // namespace
