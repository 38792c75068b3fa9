#include <gtest/gtest.h>

#include "CommandLine.h"

namespace {

TEST(CommandLine, DefaultsAndEveryOptionWithTheLastValueWinning) {
    Settings d = parse_command_line({}).settings;
    EXPECT_EQ(std::make_tuple(d.width, d.height, d.gem_count), std::make_tuple(1600, 900, 10000));
    EXPECT_TRUE(d.full_screen && d.music && !d.capture);

    ParseResult r = parse_command_line({"--capture", "-w", "640", "--no-music", "-h", "600",
                                        "--windowed", "-n", "3", "-w", "800"});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(std::make_tuple(r.settings.width, r.settings.height, r.settings.gem_count),
              std::make_tuple(800, 600, 3));
    EXPECT_TRUE(!r.settings.full_screen && !r.settings.music && r.settings.capture);
}

TEST(CommandLine, ValuesConvertLikeADecimalPrefix) {
    const std::pair<const char*, int> cases[] = {{"12abc", 12}, {"800px", 800}, {"0x10", 0},
                                                 {"  +42", 42}, {"-5", -5}, {"2147483647", 2147483647}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parse_command_line({"-n", text}).settings.gem_count, value) << text;
}

TEST(CommandLine, BadValuesNameOptionAndValueAndMentionStoi) {
    // "-w --windowed" reads "--windowed" as the width's value.
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"-w", "abc"}, {"-h", ""}, {"-n", "2147483648"}, {"-w", "--windowed"}}) {
        ParseResult r = parse_command_line(args);
        EXPECT_FALSE(r.ok);
        for (const std::string& text : {args[0], "\"" + args[1] + "\"", std::string("stoi")})
            EXPECT_NE(r.error.find(text), std::string::npos) << r.error;
    }
}

TEST(CommandLine, MissingValuesAndUnknownArgumentsAreRejected) {
    for (const char* option : {"-w", "-h", "-n"}) {
        ParseResult r = parse_command_line({"--windowed", option});
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(option), std::string::npos) << r.error;
    }
    for (const char* arg : {"--Help", "", "--Windowed", "capture"}) {
        ParseResult r = parse_command_line({"--windowed", arg, "--capture"});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, std::string("Error parsing command line argument: ") + arg);
    }
}

}  // namespace
