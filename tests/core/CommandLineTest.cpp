#include <gtest/gtest.h>

#include "CommandLine.h"

namespace {

auto values(const Settings& s) {
    return std::make_tuple(s.width, s.height, s.gem_count, s.full_screen, s.music, s.capture);
}

TEST(CommandLine, DefaultsAndEveryOptionWithTheLastValueWinning) {
    EXPECT_EQ(values(parse_command_line({}).settings), std::make_tuple(1600, 900, 10000, true, true, false));
    ParseResult r = parse_command_line({"--capture", "-w", "640", "--no-music", "-h", "600",
                                        "--windowed", "-n", "3", "-w", "800"});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(values(r.settings), std::make_tuple(800, 600, 3, false, false, true));
}

TEST(CommandLine, ValuesConvertLikeADecimalPrefix) {
    const std::pair<const char*, int> cases[] = {{"12abc", 12}, {"800px", 800}, {"0x10", 0},
                                                 {"  +42", 42}, {"-5", -5}, {"2147483647", 2147483647}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parse_command_line({"-n", text}).settings.gem_count, value) << text;
}

// Each refusal names what it refuses; "-w --windowed" reads "--windowed" as the width.
TEST(CommandLine, BadMissingAndUnknownArgumentsAreRefused) {
    const std::vector<std::vector<std::string>> bad_values = {
        {"-w", "abc"}, {"-h", ""}, {"-n", "2147483648"}, {"-w", "--windowed"}};
    for (const auto& args : bad_values) {
        ParseResult r = parse_command_line(args);
        EXPECT_FALSE(r.ok);
        for (const std::string& text : {args[0], "\"" + args[1] + "\"", std::string("stoi")})
            EXPECT_NE(r.error.find(text), std::string::npos) << r.error;
    }
    for (const char* option : {"-w", "-h", "-n"}) {
        ParseResult r = parse_command_line({"--windowed", option});
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(option), std::string::npos) << r.error;
    }
    for (const char* arg : {"-x", "", "--Windowed", "capture"}) {
        ParseResult r = parse_command_line({"--windowed", arg, "--capture"});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, std::string("Error parsing command line argument: ") + arg);
    }
}

}  // namespace
