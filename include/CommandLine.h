#pragma once

#include <string>
#include <vector>

// The settings the command line controls.
struct Settings {
    int width = 1600;
    int height = 900;
    int gem_count = 10000;
    bool full_screen = true;
    bool music = true;
    bool capture = false;
    // Live mode: shader reload and the timeline keys.
    bool live = false;
    // Explore mode: the gem field drawn through the scene's camera over the show.
    bool explore = false;
    // Where the demo clock and the music start, in seconds within [0, 58).
    double start = 0.0;
    // How many frames a capture writes; 0 for all up to the end of the show.
    int frames = 0;
    // The tracks file ("--tracks"): uniforms and camera keys over the show; empty for none.
    std::string tracks;
};

// The outcome of parsing: the settings, or the one-line message to print on
// standard error before ending with status 255.
struct ParseResult {
    Settings settings;
    bool ok = true;
    std::string error;
};

// Parses the arguments that follow the program name.
ParseResult parse_command_line(const std::vector<std::string>& args);
