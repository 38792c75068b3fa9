// Polling of held keys and mouse buttons on the framework's window.
#include "FW/Window.h"

namespace FW {

bool key_is_down(int key) {
    return glfwGetKey(window, key) == GLFW_PRESS;
}

bool mouse_button_is_down(int button) {
    return glfwGetMouseButton(window, button) == GLFW_PRESS;
}

}  // namespace FW
