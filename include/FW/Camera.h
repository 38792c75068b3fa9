#pragma once

#include <glm/glm.hpp>

namespace FW {

// A free-flying camera held as one view (world-to-camera) matrix. It looks
// along its local -z axis with +x to the right and +y up.
class Camera {
public:
    glm::mat4 view = glm::mat4(1.0f);

    void translate(glm::vec3 v);
    glm::vec3 get_forward();
    glm::vec3 get_right();
    void go_forward(float distance);
    // Turns about the eye position around a world-space axis.
    void rotate(float angle, glm::vec3 axis);
    // Yaw about world +y, then pitch about the turned right vector.
    void set_pitch_yaw(float pitch, float yaw);
};

}  // namespace FW
