#include <gtest/gtest.h>

#include "CommandLine.h"

namespace {

// Every option, the last value winning; values convert like a decimal prefix (stoi).
TEST(CommandLine, DefaultsEveryOptionAndDecimalPrefixes) {
    auto values = [](const Settings& s) {
        return std::make_tuple(s.width, s.height, s.gem_count, s.full_screen, s.music, s.capture, s.live, s.start,
                               s.explore, s.frames, s.tracks);
    };
    EXPECT_EQ(values(parse_command_line({}).settings),
              std::make_tuple(1600, 900, 10000, true, true, false, false, 0.0, false, 0, ""));
    ParseResult r = parse_command_line({"--capture", "-w", "640", "--no-music", "-h", "600", "--start", "12.5", "--explore",
                            "--windowed", "-n", "3", "-w", "800", "--frames", "2", "--tracks", "a.tracks"});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(values(r.settings), std::make_tuple(800, 600, 3, false, false, true, false, 12.5, true, 2, "a.tracks"));
    r = parse_command_line({"--live", "--start", "57.999"});
    EXPECT_EQ(std::make_tuple(r.ok, r.settings.live, r.settings.start), std::make_tuple(true, true, 57.999));
    for (auto [text, value] : {std::pair("12abc", 12), {"800px", 800}, {"0x10", 0}, {"  +42", 42}, {"-5", -5},
                               {"2147483647", 2147483647}})
        EXPECT_EQ(parse_command_line({"-n", text}).settings.gem_count, value) << text;
}

// Each refusal names what it refuses; "-w --windowed" reads "--windowed" as the width.
TEST(CommandLine, BadMissingAndUnknownArgumentsAreRefused) {
    auto refusal = [](const std::vector<std::string>& args) {
        ParseResult r = parse_command_line(args);
        EXPECT_FALSE(r.ok) << args[0];
        return r.error;
    };
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"-w", "abc"}, {"-h", ""}, {"-n", "2147483648"}, {"-w", "--windowed"}}) {
        const std::string error = refusal(args);
        for (const std::string& text : {args[0], "\"" + args[1] + "\"", std::string("stoi")})
            EXPECT_NE(error.find(text), std::string::npos) << error;
    }
    for (const char* option : {"-w", "-h", "-n", "--start", "--frames", "--tracks"})  // a missing value
        EXPECT_NE(refusal({"--windowed", option}).find(option), std::string::npos) << option;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--start", "58"}, {"--start", "-1"}, {"--start", "1e999"}, {"--start", "ten"}, {"--live", "--capture"},
             {"--tracks", ""}})
        EXPECT_FALSE(parse_command_line(args).ok) << args[1];
    for (const char* arg : {"--help", "", "--Windowed", "capture"})
        EXPECT_EQ(refusal({"--windowed", arg, "--capture"}), "Error parsing command line argument: " + std::string(arg));
}

// A capture's range ends at frame 3479: the first frame round(S * 60) and the
// count must stay within it; --frames takes a whole number from 1 and needs --capture.
TEST(CommandLine, CaptureRangeAndFrameCount) {
    using Args = std::vector<std::string>;
    ParseResult r = parse_command_line({"--capture", "--start", "57", "--frames", "60"});
    EXPECT_EQ(std::make_tuple(r.ok, r.settings.start, r.settings.frames), std::make_tuple(true, 57.0, 60));
    for (const Args& args : {Args{"--capture", "--start", "57.991"}, {"--start", "57.992"}, {"--capture", "--frames", "3480"}})
        EXPECT_TRUE(parse_command_line(args).ok) << args[1];
    for (const Args& args : {Args{"--capture", "--start", "57.992"}, {"--capture", "--start", "57", "--frames", "61"},
                             {"--capture", "--frames", "3481"}, {"--frames", "5"}, {"--capture", "--frames", "0"},
                             {"--capture", "--frames", "-3"}, {"--capture", "--frames", "ten"}, {"--capture", "--frames", "5x"},
                             {"--capture", "--frames", ""}, {"--capture", "--frames", "99999999999"}, {"--capture", "--frames"}}) {
        r = parse_command_line(args);
        EXPECT_TRUE(!r.ok && !r.error.empty() && r.error.find('\n') == std::string::npos) << args.back() << r.error;
    }
}

}  // namespace
