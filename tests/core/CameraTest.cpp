#include <cmath>

#include <gtest/gtest.h>
#include <glm/glm.hpp>

#include "FW/Camera.h"

namespace {

const float pi = 3.14159265358979f;
const float eps = 1e-5f;

glm::vec3 eye(const FW::Camera& c) {
    return glm::vec3(glm::inverse(c.view)[3]);
}

void expect_near(glm::vec3 actual, glm::vec3 expected) {
    EXPECT_NEAR(actual.x, expected.x, eps);
    EXPECT_NEAR(actual.y, expected.y, eps);
    EXPECT_NEAR(actual.z, expected.z, eps);
}

TEST(Camera, MovesInWorldAndAlongView) {
    FW::Camera c;
    expect_near(c.get_forward(), {0, 0, -1});
    expect_near(c.get_right(), {1, 0, 0});
    c.go_forward(1.0f);
    expect_near(eye(c), {0, 0, -1});
    c.translate({1, 0, 0});
    expect_near(eye(c), {1, 0, -1});
    expect_near(c.get_forward(), {0, 0, -1});
}

TEST(Camera, RotateKeepsEyeAndTurnsAsDocumented) {
    FW::Camera c;
    c.translate({3, -2, 7});
    c.rotate(pi / 2, {0, 1, 0});
    expect_near(eye(c), {3, -2, 7});
    expect_near(c.get_forward(), {-1, 0, 0});  // positive yaw turns left
    c.rotate(0.3f, c.get_right());
    expect_near(eye(c), {3, -2, 7});
    EXPECT_GT(c.get_forward().y, 0.0f);  // positive angle about right raises the view
    // The axis is normalised.
    FW::Camera d;
    d.rotate(pi / 2, {0, 5, 0});
    expect_near(d.get_forward(), {-1, 0, 0});
}

TEST(Camera, PitchYawReplacesOrientationAtSameEye) {
    FW::Camera c;
    c.translate({4, 5, 6});
    c.rotate(1.1f, glm::normalize(glm::vec3(1, 2, 3)));
    c.set_pitch_yaw(0, 0);
    expect_near(eye(c), {4, 5, 6});
    expect_near(c.get_forward(), {0, 0, -1});
    expect_near(c.get_right(), {1, 0, 0});
    c.set_pitch_yaw(0, pi / 2);
    expect_near(c.get_forward(), {-1, 0, 0});
    c.set_pitch_yaw(pi / 2, 0);
    expect_near(c.get_forward(), {0, 1, 0});
    c.set_pitch_yaw(0.4f, -0.7f);
    glm::vec3 expected(-std::sin(-0.7f) * std::cos(0.4f), std::sin(0.4f), -std::cos(-0.7f) * std::cos(0.4f));
    expect_near(c.get_forward(), expected);
    expect_near(eye(c), {4, 5, 6});
}

}  // namespace
