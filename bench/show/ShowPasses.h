#pragma once

// The frame's passes as the demo draws them, with the render state they
// expect, and the timing helpers of the benchmark programs.

#include <algorithm>
#include <ctime>
#include <vector>

#include "FW/GL.h"
#include "FramePasses.h"
#include "singletons/Pipeline.h"

namespace show {

// The demo's blend state, which the font engine sets at start-up.
inline void set_demo_state() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// The process's CPU time in milliseconds: all of the software renderer's
// threads, and unlike wall-clock time not stretched by a busy machine.
inline double cpu_ms() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1000000.0;
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double mean(const std::vector<double>& values) {
    double sum = 0.0;
    for (double x : values)
        sum += x;
    return sum / values.size();
}

}  // namespace show
