// The camera's pose in the camera tracks' terms, read from and written to its view matrix.
#include "CameraPose.h"

#include <algorithm>
#include <cmath>

CameraPose camera_pose(const FW::Camera& camera) {
    const glm::mat4 to_world = glm::inverse(camera.view);
    const glm::vec3 forward = -glm::vec3(to_world[2]);
    // Yaw turns -z towards -x; pitch lifts the view towards +y.
    const float yaw = std::atan2(-forward.x, -forward.z);
    const float pitch = std::asin(std::clamp(forward.y, -1.0f, 1.0f));
    return {glm::vec3(to_world[3]), glm::degrees(yaw), glm::degrees(pitch)};
}

void place_camera(FW::Camera& camera, const CameraPose& pose) {
    camera.view = glm::mat4(1.0f);
    camera.translate(pose.eye);
    camera.set_pitch_yaw(glm::radians(pose.pitch), glm::radians(pose.yaw));
}
