#pragma once

// The generated loader must come before GLFW so that GLFW does not pull in
// the system's GL header.
#include <glad/gl.h>
#include <GLFW/glfw3.h>
