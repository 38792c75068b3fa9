#pragma once

// The frame's passes as the demo draws them, with the render state they
// expect, for the benchmark programs.

#include "FW/GL.h"
#include "FramePasses.h"
#include "singletons/Pipeline.h"

namespace show {

// The demo's blend state, which the font engine sets at start-up.
inline void set_demo_state() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

}  // namespace show
