// The free-flying camera: one view matrix with moves, turns and direction queries.
#include "FW/Camera.h"

#include <glm/gtc/matrix_transform.hpp>

namespace FW {

namespace {
const glm::mat4 identity(1.0f);
}

void Camera::translate(glm::vec3 v) {
    view = view * glm::translate(identity, -v);
}

glm::vec3 Camera::get_forward() {
    return glm::vec3(glm::inverse(view) * glm::vec4(0.0f, 0.0f, -1.0f, 0.0f));
}

glm::vec3 Camera::get_right() {
    return glm::vec3(glm::inverse(view) * glm::vec4(1.0f, 0.0f, 0.0f, 0.0f));
}

void Camera::go_forward(float distance) {
    glm::vec3 f = get_forward();
    view = view * glm::translate(identity, -(f * distance));
}

void Camera::rotate(float angle, glm::vec3 axis) {
    glm::vec3 p = glm::vec3(glm::inverse(view)[3]);
    glm::mat4 T = glm::translate(identity, p);
    glm::mat4 R = glm::rotate(identity, angle, axis);
    view = ((view * T) * glm::inverse(R)) * glm::inverse(T);
}

void Camera::set_pitch_yaw(float pitch, float yaw) {
    glm::mat4 E = glm::inverse(view);
    E[0] = identity[0];
    E[1] = identity[1];
    E[2] = identity[2];
    view = glm::inverse(E);
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    rotate(yaw, up);
    glm::vec3 a = glm::vec3(glm::rotate(identity, yaw, up) * glm::vec4(1.0f, 0.0f, 0.0f, 0.0f));
    rotate(pitch, a);
}

}  // namespace FW
