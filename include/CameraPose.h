#pragma once

#include <glm/glm.hpp>

#include "FW/Camera.h"

// The camera as the camera tracks give it: the eye position and the camera's
// own yaw (about world +y) and pitch, in degrees, as set_pitch_yaw turns them.
struct CameraPose {
    glm::vec3 eye;
    float yaw;
    float pitch;
};

// The pose of a camera without roll (as the keys and the mouse fly it).
CameraPose camera_pose(const FW::Camera& camera);
void place_camera(FW::Camera& camera, const CameraPose& pose);
