#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Song.h"

namespace {

// One render shared by the tests: it takes a few seconds.
const song::Stereo& track() {
    static const song::Stereo audio = song::render();
    return audio;
}

double rms_db(const song::Stereo& a, double from, double to) {
    long first = static_cast<long>(from * song::SAMPLE_RATE);
    long last = static_cast<long>(to * song::SAMPLE_RATE);
    double sum = 0.0;
    for (long i = first; i < last; ++i)
        sum += a.left[i] * a.left[i] + a.right[i] * a.right[i];
    return 10.0 * std::log10(sum / (2.0 * (last - first)) + 1e-30);
}

uint32_t le32(const std::string& b, size_t at) {
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}

int16_t le16(const std::string& b, size_t at) { return int16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

}

TEST(Compose, TrackIsLongEnoughNormalisedAndSilentAfterTheFade) {
    const song::Stereo& a = track();
    ASSERT_EQ(a.left.size(), a.right.size());
    ASSERT_GE(a.left.size(), 58u * song::SAMPLE_RATE);

    float peak = 0.0f;
    for (size_t i = 0; i < a.left.size(); ++i) {
        ASSERT_TRUE(std::isfinite(a.left[i]) && std::isfinite(a.right[i])) << "sample " << i;
        peak = std::max({peak, std::fabs(a.left[i]), std::fabs(a.right[i])});
    }
    EXPECT_NEAR(peak, song::PEAK, 1e-3);

    for (size_t i = static_cast<size_t>(song::FADE_END * song::SAMPLE_RATE); i < a.left.size(); ++i) {
        ASSERT_EQ(a.left[i], 0.0f) << "sample " << i;
        ASSERT_EQ(a.right[i], 0.0f) << "sample " << i;
    }
}

TEST(Compose, LoudnessFollowsTheSections) {
    const song::Stereo& a = track();
    double intro = rms_db(a, 2, song::INTRO_END - 2);
    double build = rms_db(a, song::INTRO_END + 2, song::BUILD_END - 2);
    double climax = rms_db(a, song::BUILD_END + 2, song::CLIMAX_END - 2);
    double ending = rms_db(a, song::FADE_END - 4, song::FADE_END - 1);
    EXPECT_GT(intro, -40.0);
    EXPECT_GT(build, intro + 4.0);
    EXPECT_GT(climax, build + 2.0);
    EXPECT_LT(ending, climax - 10.0);
    // Both channels carry the music; the stereo field is not one-sided.
    double left = 0.0, right = 0.0;
    for (size_t i = 0; i < a.left.size(); ++i) {
        left += a.left[i] * a.left[i];
        right += a.right[i] * a.right[i];
    }
    EXPECT_NEAR(10.0 * std::log10(left / right), 0.0, 3.0);
}

TEST(Compose, RendersTheSameTrackEveryTime) {
    song::Stereo again = song::render();
    EXPECT_TRUE(again.left == track().left);
    EXPECT_TRUE(again.right == track().right);
}

TEST(Compose, WavFileHoldsRoundedAndClampedSamples) {
    song::Stereo a;
    a.left = {0.0f, 0.5f, 1.5f, -1.0f};
    a.right = {1.0f, -0.5f, -2.0f, 0.25f};
    std::string path = testing::TempDir() + "compose_test.wav";
    ASSERT_TRUE(song::write_wav(a, path.c_str()));

    std::ifstream in(path, std::ios::binary);
    std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    ASSERT_EQ(b.size(), 44u + 16u);
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(b, 4), 36u + 16u);
    EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le16(b, 22), 2);                     // channels
    EXPECT_EQ(le32(b, 24), 44100u);                // frame rate
    EXPECT_EQ(le32(b, 28), 44100u * 4);            // byte rate
    EXPECT_EQ(le16(b, 34), 16);                    // bits per sample
    EXPECT_EQ(b.substr(36, 4), "data");
    EXPECT_EQ(le32(b, 40), 16u);
    const int16_t expected[8] = {0, 32767, 16384, -16384, 32767, -32767, -32767, 8192};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(le16(b, 44 + 2 * i), expected[i]) << "sample " << i;
}

TEST(Compose, WavWriteReportsAnUnwritablePath) {
    song::Stereo a;
    a.left = a.right = {0.0f};
    EXPECT_FALSE(song::write_wav(a, "/nonexistent-folder/track.wav"));
}
