// Parsing of the command line into the settings that start-up uses.
#include "CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

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
        error = "Invalid value for --start: \"" + value + "\" (seconds from 0 up to below 58)";
        return false;
    }
    out = seconds;
    return true;
}

}  // namespace

ParseResult parse_command_line(const std::vector<std::string>& args) {
    ParseResult result;
    Settings& s = result.settings;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--capture") {
            s.capture = true;
        } else if (arg == "-w" || arg == "-h" || arg == "-n") {
            if (i + 1 == args.size()) {
                result.ok = false;
                result.error = "Missing value after " + arg;
                return result;
            }
            int& target = arg == "-w" ? s.width : arg == "-h" ? s.height : s.gem_count;
            if (!to_int(arg, args[++i], target, result.error)) {
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
        } else if (arg == "--start") {
            if (i + 1 == args.size() || !to_start_seconds(args[++i], s.start, result.error)) {
                result.ok = false;
                if (result.error.empty())
                    result.error = "Missing value after --start";
                return result;
            }
        } else {
            result.ok = false;
            result.error = "Error parsing command line argument: " + arg;
            return result;
        }
    }
    if (s.live && s.capture) {
        result.ok = false;
        result.error = "--live cannot be combined with --capture, which runs on a fixed clock";
    }
    return result;
}
