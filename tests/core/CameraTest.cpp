#include <cmath>

#include <gtest/gtest.h>
#include <glm/glm.hpp>

#include "CameraExpect.h"

namespace {

const float pi = 3.14159265358979f;
const float eps = 1e-5f;

TEST(Camera, MovesInWorldAndAlongView) {
    FW::Camera c;
    expect_near(c.get_forward(), {0, 0, -1}, eps);
    expect_near(c.get_right(), {1, 0, 0}, eps);
    c.go_forward(1.0f);
    expect_near(eye(c), {0, 0, -1}, eps);
    c.translate({1, 0, 0});
    expect_near(eye(c), {1, 0, -1}, eps);
    expect_near(c.get_forward(), {0, 0, -1}, eps);
}

TEST(Camera, RotateKeepsEyeAndTurnsAsDocumented) {
    FW::Camera c;
    c.translate({3, -2, 7});
    c.rotate(pi / 2, {0, 1, 0});
    expect_near(eye(c), {3, -2, 7}, eps);
    expect_near(c.get_forward(), {-1, 0, 0}, eps);  // positive yaw turns left
    c.rotate(0.3f, c.get_right());
    expect_near(eye(c), {3, -2, 7}, eps);
    EXPECT_GT(c.get_forward().y, 0.0f);  // positive angle about right raises the view
    // The axis is normalised.
    FW::Camera d;
    d.rotate(pi / 2, {0, 5, 0});
    expect_near(d.get_forward(), {-1, 0, 0}, eps);
}

TEST(Camera, PitchYawReplacesOrientationAtSameEye) {
    FW::Camera c;
    c.translate({4, 5, 6});
    c.rotate(1.1f, glm::normalize(glm::vec3(1, 2, 3)));
    c.set_pitch_yaw(0, 0);
    expect_near(eye(c), {4, 5, 6}, eps);
    expect_near(c.get_forward(), {0, 0, -1}, eps);
    expect_near(c.get_right(), {1, 0, 0}, eps);
    c.set_pitch_yaw(0, pi / 2);
    expect_near(c.get_forward(), {-1, 0, 0}, eps);
    c.set_pitch_yaw(pi / 2, 0);
    expect_near(c.get_forward(), {0, 1, 0}, eps);
    c.set_pitch_yaw(0.4f, -0.7f);
    glm::vec3 expected(-std::sin(-0.7f) * std::cos(0.4f), std::sin(0.4f), -std::cos(-0.7f) * std::cos(0.4f));
    expect_near(c.get_forward(), expected, eps);
    expect_near(eye(c), {4, 5, 6}, eps);
}

}  // namespace
