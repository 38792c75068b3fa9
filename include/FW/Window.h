#pragma once

#include <string>

#include "FW/Callbacks.h"
#include "FW/GL.h"

namespace FW {

extern GLFWwindow* window;
extern int SCREEN_WIDTH;
extern int SCREEN_HEIGHT;
extern IKeyEventCallback* key_callback_user;
extern IMousePosCallback* mouse_callback_user;

// Opens the window, makes its context current and loads the GL entry points.
// Ends the process on failure.
void init(int width, int height, std::string title, bool full_screen);
// Runs draw, poll, swap until the window is asked to close.
void loop(IDrawCallback& cb);
// Terminates GLFW, and with it the window and its context.
void clean_up();

// True while a context with loaded entry points is current: destructors that
// release GL objects at process exit check this first.
bool gl_available();

void set_key_callback(IKeyEventCallback& receiver);
void set_mouse_callback(IMousePosCallback& receiver);

bool key_is_down(int key);
bool mouse_button_is_down(int button);

void error_callback(int code, const char* description);
void key_callback(GLFWwindow* window, int key, int scancode, int action, int mods);
void mouse_callback(GLFWwindow* window, double x, double y);
void framebuffer_size_callback(GLFWwindow* window, int width, int height);

}  // namespace FW
