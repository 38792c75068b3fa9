#pragma once

// OpenGL 3.3 core natively, through the generated loader; OpenGL ES 3.0
// (WebGL 2) in the browser, where emscripten provides the entry points.
#ifdef __EMSCRIPTEN__
#define GLFW_INCLUDE_NONE
#include <GLES3/gl3.h>
#include <GLFW/glfw3.h>
// Mapped to WEBGL_multi_draw by emscripten.
extern "C" void glMultiDrawArrays(GLenum mode, const GLint* first, const GLsizei* count, GLsizei drawcount);
#else
// The generated loader must come before GLFW so that GLFW does not pull in
// the system's GL header.
#include <glad/gl.h>
#include <GLFW/glfw3.h>
#endif

namespace FW {

// The texture formats where WebGL 2 differs: RGB16F cannot be rendered to
// (RGBA16F can, with EXT_color_buffer_float), and textures and renderbuffers
// need sized internal formats.
#ifdef __EMSCRIPTEN__
const GLint HDR_INTERNAL_FORMAT = GL_RGBA16F;
const GLenum HDR_PIXEL_FORMAT = GL_RGBA;
const GLint COVERAGE_INTERNAL_FORMAT = GL_R8;
const GLenum DEPTH_FORMAT = GL_DEPTH_COMPONENT24;
#else
const GLint HDR_INTERNAL_FORMAT = GL_RGB16F;
const GLenum HDR_PIXEL_FORMAT = GL_RGB;
const GLint COVERAGE_INTERNAL_FORMAT = GL_RED;
const GLenum DEPTH_FORMAT = GL_DEPTH_COMPONENT;
#endif

}  // namespace FW
