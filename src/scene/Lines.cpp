// The fixed-capacity line store: its segments and their upload. Its bounds
// check stays on even when a packager's flags define NDEBUG.
#undef NDEBUG
#include <cassert>
#include <cmath>

#include "singletons/Scene.h"

namespace {
const double PI = 3.141592653589793;
}

// Loads the program, adds the initial segments and uploads the whole store,
// unused slots included. The vertex array stays bound.
Lines::Lines() : maxlines(100000), nlines(0) {
    program.load("shaders/basic.vert", "shaders/basic.frag");
    vertices.resize(6 * static_cast<size_t>(maxlines), 0.0f);
    colors.resize(6 * static_cast<size_t>(maxlines), 0.0f);

    // Three segments from the origin to the unit circle, added three times.
    const double angles[] = {2.0 * PI / 3.0, 4.0 * PI / 3.0, 2.0 * PI};
    for (int round = 0; round < 3; round++) {
        for (double a : angles)
            add_line(0.0f, 0.0f, 0.0f, static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)), 0.0f);
    }

    upload_attribute_pair(vertices_handle, colors_handle, VAO, vertices, colors, GL_STREAM_DRAW);
}

// Writes the CPU copy only; every segment is red at both ends.
void Lines::add_line(float x1, float y1, float z1, float x2, float y2, float z2) {
    size_t slot = static_cast<size_t>(nlines);
    nlines++;
    assert(nlines <= maxlines);
    float* v = &vertices[6 * slot];
    v[0] = x1;
    v[1] = y1;
    v[2] = z1;
    v[3] = x2;
    v[4] = y2;
    v[5] = z2;
    float* c = &colors[6 * slot];
    const float red[6] = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    for (int i = 0; i < 6; i++)
        c[i] = red[i];
}
