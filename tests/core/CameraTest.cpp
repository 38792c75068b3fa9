#include <cmath>

#include <gtest/gtest.h>

#include "CameraExpect.h"

// Moves and turns about the right and up axes are checked through the controls.
TEST(Camera, PitchYawReplacesOrientationAtSameEye) {
    const float pi = 3.14159265358979f;
    FW::Camera c;
    c.translate({4, 5, 6});
    c.rotate(1.1f, glm::normalize(glm::vec3(1, 2, 3)));
    const struct { float pitch, yaw; glm::vec3 forward; } cases[] = {
        {0, pi / 2, {-1, 0, 0}}, {pi / 2, 0, {0, 1, 0}},
        {0.4f, -0.7f, {-std::sin(-0.7f) * std::cos(0.4f), std::sin(0.4f), -std::cos(-0.7f) * std::cos(0.4f)}},
        {0, 0, {0, 0, -1}}};
    for (const auto& k : cases) {
        c.set_pitch_yaw(k.pitch, k.yaw);
        expect_near(c.get_forward(), k.forward, 1e-5f);
        expect_near(eye(c), {4, 5, 6}, 1e-5f);
    }
    expect_near(c.get_right(), {1, 0, 0}, 1e-5f);  // after the last, level case
}
