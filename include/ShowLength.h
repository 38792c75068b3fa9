#pragma once

// The show's length in seconds: the clock, the capture, the tracks and the
// command line end there, and the web page's build reads it from this line.
constexpr double show_seconds = 58.0;
