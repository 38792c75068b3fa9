// Fuzzes the command-line parser: the input's bytes, split at zero bytes, are
// the arguments after the program name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    const ParseResult result = parse_command_line(args);
    // A refusal always comes with the line to print.
    if (!result.ok && result.error.empty())
        abort();
    return 0;
}
