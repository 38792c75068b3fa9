#pragma once

#include <gtest/gtest.h>
#include <glm/glm.hpp>

#include "FW/Camera.h"

// The eye position: the translation of the camera-to-world transform.
inline glm::vec3 eye(const FW::Camera& c) { return glm::vec3(glm::inverse(c.view)[3]); }

inline void expect_near(glm::vec3 actual, glm::vec3 expected, float eps) {
    EXPECT_LE(glm::length(actual - expected), eps) << actual.x << ", " << actual.y << ", " << actual.z;
}
