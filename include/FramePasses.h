#pragma once

#include <glm/glm.hpp>

class GemField;
class TrackPlayer;

// The passes of one frame, drawn with the Pipeline's targets and
// programs: the frame drawing runs them in this order, and the benchmarks
// time them one by one.

// The background program paints the picture and its bright part into the HDR
// framebuffer from the demo time in seconds ("t" is 0.4 times it). With
// `tracks` ("--tracks"), the programs of these passes also get the tracks'
// values of the frame as uniforms.
void draw_background_pass(float seconds, const TrackPlayer* tracks = nullptr);
// Explore mode's background: the same program told to leave the show's own
// stones out and to turn its sky with the camera (its view matrix).
void draw_sky_pass(float seconds, const glm::mat4& view, const TrackPlayer* tracks = nullptr);
// Explore mode's stones: the culled field through the camera and the field's
// projection, depth-tested over the sky in the HDR framebuffer.
void draw_field_pass(GemField& field, const glm::mat4& view, float seconds, const TrackPlayer* tracks = nullptr);
// Five blur passes over the bright part (the blur's shaders are told each
// pass's axis and place); the result ends in pingpong_buffers[1].
void draw_blur_passes();
// Clears the window and draws the scene plus (when `bloom` is set) the blurred
// bright image, tone-mapped.
void draw_composite_pass(bool bloom);
