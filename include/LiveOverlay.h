#pragma once

#include <string>
#include <vector>

// Live mode's texts over the picture, from the top-left corner down: while
// paused a status line with the time, then the first lines of the errors in
// an error colour, then the first lines of `values` (the tracks' values) in
// white, each cut to the width. `width` and `height` are the text
// projection's size (the requested window size).
void draw_live_overlay(bool paused, float t, const std::vector<std::string>& errors, int width, int height,
                       const std::vector<std::string>& values = {});
