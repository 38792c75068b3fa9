#include <cmath>

#include <gtest/gtest.h>

#include "CameraExpect.h"

namespace {

const float pi = 3.14159265358979f, eps = 1e-5f;

TEST(Camera, MovesAndTurnsAboutTheEye) {
    FW::Camera c;
    expect_near(c.get_right(), {1, 0, 0}, eps);
    c.go_forward(1.0f);
    c.translate({1, 0, 0});
    expect_near(eye(c), {1, 0, -1}, eps);  // forward is -z; translate is in world axes
    c.rotate(pi / 2, {0, 5, 0});           // the axis is normalised
    expect_near(eye(c), {1, 0, -1}, eps);
    expect_near(c.get_forward(), {-1, 0, 0}, eps);  // positive yaw turns left
    c.rotate(0.3f, c.get_right());
    EXPECT_GT(c.get_forward().y, 0.0f);  // positive angle about right raises the view
    expect_near(eye(c), {1, 0, -1}, eps);
}

TEST(Camera, PitchYawReplacesOrientationAtSameEye) {
    FW::Camera c;
    c.translate({4, 5, 6});
    c.rotate(1.1f, glm::normalize(glm::vec3(1, 2, 3)));
    const struct { float pitch, yaw; glm::vec3 forward; } cases[] = {
        {0, 0, {0, 0, -1}}, {0, pi / 2, {-1, 0, 0}}, {pi / 2, 0, {0, 1, 0}},
        {0.4f, -0.7f, {-std::sin(-0.7f) * std::cos(0.4f), std::sin(0.4f), -std::cos(-0.7f) * std::cos(0.4f)}}};
    for (const auto& k : cases) {
        c.set_pitch_yaw(k.pitch, k.yaw);
        expect_near(c.get_forward(), k.forward, eps);
        expect_near(eye(c), {4, 5, 6}, eps);
    }
    c.set_pitch_yaw(0, 0);
    expect_near(c.get_right(), {1, 0, 0}, eps);
}

}  // namespace
