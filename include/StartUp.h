#pragma once

#include "CommandLine.h"

// Brings the system up to just before the frame loop, in its fixed order:
// window and GL context, font engine, controls, bloom pipeline, the scene
// with its gems, the capture flag and, in capture mode, the frame buffer.
// Ends the process on a fatal failure.
void start_up(const Settings& settings);
