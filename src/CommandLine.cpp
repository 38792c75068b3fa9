#include "CommandLine.h"

#include <stdexcept>

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
        } else {
            result.ok = false;
            result.error = "Error parsing command line argument: " + arg;
            return result;
        }
    }
    return result;
}
