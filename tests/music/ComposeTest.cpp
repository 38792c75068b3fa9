#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "Song.h"

TEST(Compose, TrackIsLongEnoughNormalisedAndSilentAfterTheFade) {
    const song::Stereo a = song::render();
    ASSERT_EQ(a.left.size(), a.right.size());
    ASSERT_GE(a.left.size(), 58u * song::SAMPLE_RATE);
    float peak = 0.0f;
    for (size_t i = 0; i < a.left.size(); ++i) {
        ASSERT_TRUE(std::isfinite(a.left[i]) && std::isfinite(a.right[i])) << "sample " << i;
        peak = std::max({peak, std::fabs(a.left[i]), std::fabs(a.right[i])});
        if (i >= song::FADE_END * song::SAMPLE_RATE) {
            ASSERT_TRUE(a.left[i] == 0.0f && a.right[i] == 0.0f) << "sample " << i;
        }
    }
    EXPECT_NEAR(peak, song::PEAK, 1e-3);
}

TEST(Compose, WavFileHoldsRoundedAndClampedSamples) {
    song::Stereo a;
    a.left = {0.0f, 0.5f, 1.5f, -1.0f};
    a.right = {1.0f, -0.5f, -2.0f, 0.25f};
    const std::string path = testing::TempDir() + "compose_test.wav";
    ASSERT_TRUE(song::write_wav(a, path.c_str()));
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    // RIFF header of 16-bit stereo at 44.1 kHz, then the samples interleaved.
    const std::string expected = std::string("RIFF\x34\0\0\0WAVEfmt \x10\0\0\0\1\0\2\0\x44\xac\0\0\x10\xb1\2\0\4\0\x10\0data\x10\0\0\0", 44) +
                                 std::string("\0\0\xff\x7f\0\x40\0\xc0\xff\x7f\x01\x80\x01\x80\0\x20", 16);
    EXPECT_EQ(b, expected);
    EXPECT_FALSE(song::write_wav(a, "/nonexistent-folder/track.wav"));
}
