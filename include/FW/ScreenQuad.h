#pragma once

#include "FW/GL.h"

namespace FW {

extern GLuint quadVAO;
extern GLuint quadVBO;

// Draws a quad covering the viewport (attribute 0: position, 1: texture
// coordinate) with whatever program, textures and framebuffer are bound.
void RenderQuad();

}  // namespace FW
