// The window and GL context, the frame loop and the dispatch of input to the receivers.
#include "FW/Window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace FW {

GLFWwindow* window = nullptr;
int SCREEN_WIDTH = 0;
int SCREEN_HEIGHT = 0;
IKeyEventCallback* key_callback_user = nullptr;
IMousePosCallback* mouse_callback_user = nullptr;

namespace {
bool gl_loaded = false;
// X11 keeps window sizes and coordinates in 16-bit signed fields; a larger
// window ends the process with a raw X error inside GLFW.
const int WINDOW_SYSTEM_LIMIT = 32767;

[[noreturn]] void refuse_size(const char* limit_name, int limit) {
    std::cerr << "Window size " << SCREEN_WIDTH << "x" << SCREEN_HEIGHT << " is too large: " << limit_name
              << " is " << limit << " pixels per side" << std::endl;
    glfwTerminate();
    exit(-1);
}
}

void init(int width, int height, std::string title, bool full_screen) {
    SCREEN_WIDTH = width;
    SCREEN_HEIGHT = height;
    if (!glfwInit()) {
        std::cerr << "GLFW3 init failed" << std::endl;
        exit(-1);
    }
    GLFWmonitor* monitor = nullptr;
    if (full_screen) {
        monitor = glfwGetPrimaryMonitor();
        const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
        if (!mode) {
            std::cerr << "No monitor to open a full-screen window on (try --windowed)" << std::endl;
            glfwTerminate();
            exit(-1);
        }
        SCREEN_WIDTH = mode->width;
        SCREEN_HEIGHT = mode->height;
    }
    std::cout << SCREEN_WIDTH << " " << SCREEN_HEIGHT << std::endl;

    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwSetErrorCallback(error_callback);

    if (SCREEN_WIDTH > WINDOW_SYSTEM_LIMIT || SCREEN_HEIGHT > WINDOW_SYSTEM_LIMIT)
        refuse_size("the window system's limit", WINDOW_SYSTEM_LIMIT);
    // GLFW asserts on a negative size; zero gets its own refusal through the
    // error callback, so every size of 0 or less is handed over as 0.
    window = glfwCreateWindow(std::max(SCREEN_WIDTH, 0), std::max(SCREEN_HEIGHT, 0), title.c_str(), monitor,
                              nullptr);
    if (!window) {
        std::cerr << "Failed to create GLFW window" << std::endl;
        glfwTerminate();
        exit(-1);
    }
    if (full_screen)
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
    glfwMakeContextCurrent(window);

#ifndef __EMSCRIPTEN__
    if (!gladLoadGL(glfwGetProcAddress)) {
        std::cout << "Failed to initialize GLAD" << std::endl;
        exit(-1);
    }
#endif

    // The render targets are textures of the window's size.
    GLint max_texture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture);
    if (SCREEN_WIDTH > max_texture || SCREEN_HEIGHT > max_texture)
        refuse_size("the GPU's largest texture", max_texture);
    gl_loaded = true;

    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glEnable(GL_DEPTH_TEST);

    glfwSetFramebufferSizeCallback(window, framebuffer_size_callback);
    glfwSetKeyCallback(window, key_callback);
    glfwSetCursorPosCallback(window, mouse_callback);
}

#ifdef __EMSCRIPTEN__
namespace {
void draw_page_frame(void* cb) {
    static_cast<IDrawCallback*>(cb)->draw(SCREEN_WIDTH, SCREEN_HEIGHT);
    glfwPollEvents();
}
}  // namespace

// The browser owns the loop: one frame per display refresh, the picture shown
// when the frame returns. This call does not return; main's locals stay.
void loop(IDrawCallback& cb) {
    emscripten_set_main_loop_arg(draw_page_frame, &cb, 0, true);
}
#else
void loop(IDrawCallback& cb) {
    while (!glfwWindowShouldClose(window)) {
        cb.draw(SCREEN_WIDTH, SCREEN_HEIGHT);
        glfwPollEvents();
        glfwSwapBuffers(window);
    }
}
#endif

void clean_up() {
    gl_loaded = false;
    glfwTerminate();
    window = nullptr;
}

bool gl_available() {
    return gl_loaded;
}

void set_key_callback(IKeyEventCallback& receiver) {
    key_callback_user = &receiver;
}

void set_mouse_callback(IMousePosCallback& receiver) {
    mouse_callback_user = &receiver;
}

void error_callback(int, const char* description) {
    fprintf(stderr, "Error: %s\n", description);
}

void key_callback(GLFWwindow* w, int key, int scancode, int action, int mods) {
    if (key == GLFW_KEY_ESCAPE && action == GLFW_PRESS)
        glfwSetWindowShouldClose(w, true);
    if (key_callback_user)
        key_callback_user->callback(key, scancode, action, mods);
}

void mouse_callback(GLFWwindow*, double x, double y) {
    if (mouse_callback_user)
        mouse_callback_user->callback(x, y);
}

void framebuffer_size_callback(GLFWwindow*, int width, int height) {
    std::cout << "Resized the window to " << width << "x" << height << std::endl;
    SCREEN_WIDTH = width;
    SCREEN_HEIGHT = height;
    glViewport(0, 0, width, height);
}

}  // namespace FW
