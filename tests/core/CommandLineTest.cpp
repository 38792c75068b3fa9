#include <gtest/gtest.h>

#include "CommandLine.h"

namespace {

ParseResult parse(std::vector<std::string> args) {
    return parse_command_line(args);
}

TEST(CommandLine, DefaultsWithoutArguments) {
    ParseResult r = parse({});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.settings.width, 1600);
    EXPECT_EQ(r.settings.height, 900);
    EXPECT_EQ(r.settings.gem_count, 10000);
    EXPECT_TRUE(r.settings.full_screen);
    EXPECT_TRUE(r.settings.music);
    EXPECT_FALSE(r.settings.capture);
}

TEST(CommandLine, EveryOptionAndLastValueWins) {
    ParseResult r = parse({"--capture", "-w", "640", "--no-music", "-h", "600", "--windowed", "-n",
                           "3", "-w", "800"});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.settings.width, 800);
    EXPECT_EQ(r.settings.height, 600);
    EXPECT_EQ(r.settings.gem_count, 3);
    EXPECT_FALSE(r.settings.full_screen);
    EXPECT_FALSE(r.settings.music);
    EXPECT_TRUE(r.settings.capture);
}

TEST(CommandLine, ValuesConvertLikeDecimalPrefix) {
    EXPECT_EQ(parse({"-w", "12abc"}).settings.width, 12);
    EXPECT_EQ(parse({"-w", "800px"}).settings.width, 800);
    EXPECT_EQ(parse({"-w", "0x10"}).settings.width, 0);
    EXPECT_EQ(parse({"-w", "  +42"}).settings.width, 42);
    EXPECT_EQ(parse({"-n", "-5"}).settings.gem_count, -5);
    EXPECT_EQ(parse({"-n", "2147483647"}).settings.gem_count, 2147483647);
    EXPECT_EQ(parse({"-n", "-2147483648"}).settings.gem_count, -2147483647 - 1);
}

TEST(CommandLine, ValueIsTakenWhateverItLooksLike) {
    // "--windowed" is consumed as the width, so it does not switch the mode.
    ParseResult r = parse({"-w", "--windowed"});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("stoi"), std::string::npos);
}

TEST(CommandLine, BadValuesNameOptionAndValueAndMentionStoi) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"-w", "abc"}, {"-h", ""}, {"-n", "2147483648"}, {"-w", "-99999999999"}}) {
        ParseResult r = parse(args);
        EXPECT_FALSE(r.ok) << args[0] << " " << args[1];
        EXPECT_NE(r.error.find(args[0]), std::string::npos) << r.error;
        EXPECT_NE(r.error.find("\"" + args[1] + "\""), std::string::npos) << r.error;
        EXPECT_NE(r.error.find("stoi"), std::string::npos) << r.error;
    }
}

TEST(CommandLine, OptionWithoutValueIsRejected) {
    for (const char* option : {"-w", "-h", "-n"}) {
        ParseResult r = parse({"--windowed", option});
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(option), std::string::npos) << r.error;
    }
}

TEST(CommandLine, UnrecognisedArgumentsAreRejectedExactly) {
    for (const char* arg : {"--help", "", "--Windowed", "-W", "capture"}) {
        ParseResult r = parse({"--windowed", arg, "--capture"});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, std::string("Error parsing command line argument: ") + arg);
    }
}

}  // namespace
