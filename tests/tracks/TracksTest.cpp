// The tracks file: parsing, its errors, interpolation between keys and the recording keys' edits.
#include <gtest/gtest.h>

#include "TrackEdit.h"
#include "Tracks.h"

namespace {

TrackSet parse(const std::string& text) {
    TrackParse parsed = parse_tracks(text, "show.tracks");
    EXPECT_EQ(parsed.error, "");
    return parsed.set;
}

// Two keys 10 -> 20 from 1 s to 3 s with each interpolation; u = 0.25 at 1.5 s.
TEST(Tracks, EachInterpolationHoldsBeforeTheFirstAndAfterTheLastKey) {
    struct Case { const char* shape; double at_u_quarter, at_u_half; };
    const Case cases[] = {{"step", 10, 10},
                          {"linear", 12.5, 15},
                          {"", 12.5, 15},
                          {"smooth", 10 + 10 * (3 * 0.0625 - 2 * 0.015625), 15},
                          {"ramp", 10.625, 12.5}};
    for (const Case& c : cases) {
        // The later key first, and a tab: the order in the file does not matter.
        const TrackSet set = parse("# a comment\nglow\t3 20 step  # ends\n\nglow 1 10 " + std::string(c.shape));
        const Track& glow = *set.find("glow");
        EXPECT_DOUBLE_EQ(glow.value_at(0.0), 10) << c.shape;
        EXPECT_DOUBLE_EQ(glow.value_at(1.5), c.at_u_quarter) << c.shape;
        EXPECT_DOUBLE_EQ(glow.value_at(2.0), c.at_u_half) << c.shape;
        EXPECT_DOUBLE_EQ(glow.value_at(3.0), 20) << c.shape;
        EXPECT_DOUBLE_EQ(glow.value_at(57.0), 20) << c.shape;
    }
    const TrackSet set = parse("a 0 1\r\nb 5 -2.5e1 linear\r\ncamera.pitch 57.999 4\na 2 3");
    ASSERT_EQ(set.tracks.size(), 3u);
    EXPECT_DOUBLE_EQ(set.find("a")->value_at(1.0), 2.0);
    EXPECT_DOUBLE_EQ(set.find("b")->value_at(9.0), -25.0);
}

TEST(Tracks, EveryErrorNamesItsLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"a 1 2\nb 1 2 wobble", "show.tracks:2: unknown interpolation \"wobble\""},
        {"a 1 2 3 4 5", "show.tracks:1: expected NAME TIME VALUE"},
        {"\n# only two\na 1", "show.tracks:3: expected NAME TIME VALUE"},
        {"a 1x 2", "show.tracks:1: time \"1x\" is not a finite number"},
        {"a nan 2", "show.tracks:1: time \"nan\""},
        {"a 1 inf", "show.tracks:1: value \"inf\""},
        {"a 1 1e39", "show.tracks:1: value \"1e39\" is not a finite number of float range"},
        {"a 1 2,5", "show.tracks:1: value \"2,5\""},
        {"a -0.5 2", "show.tracks:1: time -0.5 is outside the show"},
        {"a 58 2", "show.tracks:1: time 58 is outside the show"},
        {"2a 1 2", "show.tracks:1: bad track name \"2a\""},
        {"gl_Position 1 2", "show.tracks:1: bad track name"},
        {"camera.roll 1 2", "show.tracks:1: bad track name"},
        {"a-b 1 2", "show.tracks:1: bad track name"},
        {"a 1 2\nb 1 2\n\na 1.0 3\nb 1 4", "show.tracks:4: duplicate key: a has a key at this time on line 1"},
    };
    for (const auto& c : cases) {
        const TrackParse parsed = parse_tracks(c.first, "show.tracks");
        EXPECT_EQ(parsed.error.rfind(c.second, 0), 0u) << c.first << "\n" << parsed.error;
        EXPECT_TRUE(parsed.set.tracks.empty());
    }
}

TEST(Tracks, NeighbourKeysSkipTheKeyAtTheTimeItself) {
    const TrackSet set = parse("a 2 0\na 10 0\nb 6 0\nb 10.0002 1");
    EXPECT_EQ(set.neighbour_key_time(6.0, 1), 10.0);
    EXPECT_EQ(set.neighbour_key_time(6.0002, -1), 2.0);
    EXPECT_EQ(set.neighbour_key_time(10.0, 1), 10.0);  // none after: the time stays
}

// Recording rewrites same-time keys in place with their comments, adds the others at the end and
// keeps every other line; removing takes every track's key at the time and nothing else.
TEST(TrackEdit, RecordAndRemoveKeepCommentsAndTheOrderOfOtherLines) {
    const std::string text = "# flight\ncamera.y 4.0002 7 # high\nglow 4 1\n\ncamera.y 9 2";
    const std::string recorded = record_keys(text, key_time(4.00049), {{"camera.x", -1.23456}, {"camera.y", 0.5}});
    EXPECT_EQ(recorded,
              "# flight\ncamera.y 4 0.5 smooth # high\nglow 4 1\n\ncamera.y 9 2\ncamera.x 4 -1.2346 smooth\n");
    const TrackSet set = parse(recorded);
    EXPECT_NEAR(set.find("camera.x")->value_at(4.0), -1.2346, 1e-9);
    EXPECT_EQ(remove_keys_at(recorded, 4.0), "# flight\n\ncamera.y 9 2\n");
    EXPECT_EQ(remove_keys_at("a 1 1\na 2 2", 2.0), "a 1 1");
    EXPECT_EQ(record_keys("", 0.0, {{"a", -0.00001}}), "a 0 0 smooth\n");
}

}  // namespace
