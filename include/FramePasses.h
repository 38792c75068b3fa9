#pragma once

// The full-screen passes of one frame, drawn with the Pipeline's targets and
// programs: the frame drawing runs them in this order, and the benchmarks
// time them one by one.

// The background program paints the picture and its bright part into the HDR
// framebuffer from the demo time in seconds ("t" is 0.4 times it).
void draw_background_pass(float seconds);
// Five separable blur passes over the bright part; the result ends in
// pingpong_buffers[1].
void draw_blur_passes();
// Clears the window and draws the scene plus (when `bloom` is set) the blurred
// bright image, tone-mapped.
void draw_composite_pass(bool bloom);
