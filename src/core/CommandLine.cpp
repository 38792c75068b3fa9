// Parsing of the command line into the settings that start-up uses.
#include "CommandLine.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "FrameCapture.h"
#include "LiveTimeline.h"

namespace {

// Decimal conversion as std::stoi does it (leading blanks, sign, digits up to
// the first other character), but reported instead of thrown.
bool to_int(const std::string& option, const std::string& value, int& out, std::string& error) {
    try {
        out = std::stoi(value);
        return true;
    } catch (const std::invalid_argument&) {
        error = "Invalid value for " + option + ": \"" + value + "\" (stoi: no digits)";
    } catch (const std::out_of_range&) {
        error = "Invalid value for " + option + ": \"" + value + "\" (stoi: out of range)";
    }
    return false;
}

// A start time: the whole argument a decimal number of seconds within the show, [0, 58).
bool to_start_seconds(const std::string& value, double& out, std::string& error) {
    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(seconds) || seconds < 0.0 ||
        seconds >= LiveTimeline::show_length) {
        error = "Invalid value for --start: \"" + value + "\" (seconds from 0 up to below " +
                std::to_string(static_cast<int>(LiveTimeline::show_length)) + ")";
        return false;
    }
    out = seconds;
    return true;
}

// A frame count: the whole argument a decimal number from 1 up.
bool to_frame_count(const std::string& value, int& out, std::string& error) {
    char* end = nullptr;
    errno = 0;
    const long frames = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || !std::isdigit(static_cast<unsigned char>(value[0])) || *end != '\0' || errno == ERANGE ||
        frames < 1 || frames > INT_MAX) {
        error = "Invalid value for --frames: \"" + value + "\" (a whole number of frames from 1 up)";
        return false;
    }
    out = static_cast<int>(frames);
    return true;
}

// The capture's range within frames 0 to 3479: a start or a count that runs
// past the last frame would otherwise write less than asked and still succeed.
std::string capture_range_error(const Settings& s) {
    const int last = capture_frame_count - 1;
    const int first = first_capture_frame(s.start);
    if (first > last)
        return "--capture --start " + std::to_string(s.start) + " starts at frame " + std::to_string(first) +
               ", past the last frame, " + std::to_string(last);
    if (s.frames > capture_frame_count - first)
        return "--frames " + std::to_string(s.frames) + " from frame " + std::to_string(first) +
               " runs past the last frame, " + std::to_string(last);
    return "";
}

}  // namespace

ParseResult parse_command_line(const std::vector<std::string>& args) {
    ParseResult result;
    Settings& s = result.settings;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--capture") {
            s.capture = true;
        } else if (arg == "-w" || arg == "-h" || arg == "-n" || arg == "--start" || arg == "--frames" ||
                   arg == "--tracks") {
            // The options that take the next argument as their value.
            bool converted = false;
            if (i + 1 == args.size())
                result.error = "Missing value after " + arg;
            else if (arg == "--start")
                converted = to_start_seconds(args[++i], s.start, result.error);
            else if (arg == "--tracks") {
                // An empty name (an unset shell variable) would run without tracks unnoticed.
                s.tracks = args[++i];
                converted = !s.tracks.empty();
                if (!converted)
                    result.error = "Invalid value for --tracks: \"\" (the name of a tracks file)";
            } else if (arg == "--frames")
                converted = to_frame_count(args[++i], s.frames, result.error);
            else
                converted = to_int(arg, args[++i], arg == "-w" ? s.width : arg == "-h" ? s.height : s.gem_count,
                                   result.error);
            if (!converted) {
                result.ok = false;
                return result;
            }
        } else if (arg == "--no-music") {
            s.music = false;
        } else if (arg == "--windowed") {
            s.full_screen = false;
        } else if (arg == "--live") {
            s.live = true;
        } else if (arg == "--explore") {
            s.explore = true;
        } else {
            result.ok = false;
            result.error = "Error parsing command line argument: " + arg;
            return result;
        }
    }
    if (s.live && s.capture) {
        result.ok = false;
        result.error = "--live cannot be combined with --capture, which runs on a fixed clock";
    } else if (s.frames > 0 && !s.capture) {
        result.ok = false;
        result.error = "--frames needs --capture: it counts the frames a capture writes";
    } else if (s.capture) {
        result.error = capture_range_error(s);
        result.ok = result.error.empty();
    }
    return result;
}
