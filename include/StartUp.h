#pragma once

#include <cstdint>

#include "CommandLine.h"

// Peak memory per gem while the scene is generated and uploaded: its own
// mesh, its copy in the vertex store (with the store's growth) and the GPU
// buffer's copy, measured with the default field.
const std::uint64_t GEM_MEMORY_BYTES = 10 * 1024;

// The memory that generating gem_count gems takes at its peak (0 for none).
std::uint64_t gem_memory_estimate(int gem_count);

// Brings the system up to just before the frame loop, in its fixed order:
// window and GL context, font engine, controls, bloom pipeline, the scene
// with its gems, the capture flag and, in capture mode, the frame buffer.
// Ends the process on a fatal failure; a gem count whose estimate exceeds the
// machine's physical memory is refused before anything starts.
void start_up(const Settings& settings);
