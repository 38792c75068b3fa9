#include "CommandLine.h"

#include <stdexcept>

const char* const HELP_TEXT =
    "Usage: demo [options]\n"
    "A 58-second real-time show with music; run it from the folder that holds\n"
    "shaders/, fonts/ and assets/.\n"
    "\n"
    "Options:\n"
    "  --windowed    a window instead of full screen\n"
    "  -w N, -h N    window width and height (default 1600 x 900)\n"
    "  -n N          number of gems generated at start-up (default 10000)\n"
    "  --no-music    no sound at all\n"
    "  --capture     fixed 60 fps clock; every frame written to capture/frameN.bmp\n"
    "  --help        this text\n"
    "\n"
    "Keys:\n"
    "  Escape        end the show\n"
    "  I, F          info texts (FPS, time, camera), the bare FPS count\n"
    "  M             mouse look\n"
    "  W/S/A/D       turn the camera; Q/E move it sideways\n"
    "  Up/Down       fly forward and back (also the left and right mouse buttons)\n"
    "  keypad +/-    camera speed\n"
    "The camera is scene state shown by the info text; the show does not follow it.\n";

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
        } else if (arg == "--help") {
            result.help = true;
            return result;
        } else {
            result.ok = false;
            result.error = "Error parsing command line argument: " + arg;
            return result;
        }
    }
    return result;
}
