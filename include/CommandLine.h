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
