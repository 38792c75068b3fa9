// The show's passes in a real context, drawn by the demo's own pass functions
// into the pipeline's 64x36 targets.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "FramePasses.h"
#include "GLTestContext.h"
#include "singletons/Pipeline.h"

namespace {

using Image = std::vector<float>;  // RGB floats, bottom row first

Pipeline& pipeline() {
    Pipeline& p = Pipeline::get();
    if (p.hdr_FBO == 0) {
        glEnable(GL_BLEND);  // the font engine's start-up state: every pass blends
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        p.init();
    }
    return p;
}

Image read_texture(unsigned texture) {
    Image pixels(GL_TEST_WIDTH * GL_TEST_HEIGHT * 3);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, pixels.data());
    return pixels;
}

std::vector<unsigned char> read_window() {
    std::vector<unsigned char> pixels(GL_TEST_WIDTH * GL_TEST_HEIGHT * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, GL_TEST_WIDTH, GL_TEST_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

void draw_frame(float seconds) {
    pipeline();
    draw_background_pass(seconds);
    draw_blur_passes();
    draw_composite_pass(true);
}

}  // namespace

// A sweep of "t" from 0 to 23.2 (0 to 58 s): both HDR targets and the blurred
// image stay finite and non-negative, and the highlights go well above 1.
TEST(ShowFrame, TargetsStayFiniteAndHdrOverTheWholeShow) {
    Pipeline& p = pipeline();
    float brightest = 0.0f;
    for (int step = 0; step <= 464; ++step) {
        draw_frame(step * 0.125f);
        for (unsigned texture : {p.color_buffers[0], p.color_buffers[1], p.pingpong_buffers[1]}) {
            Image image = read_texture(texture);
            for (float v : image)
                ASSERT_TRUE(std::isfinite(v) && v >= 0.0f) << v << " at " << step * 0.125f << " s";
            if (texture == p.color_buffers[0])
                brightest = std::max(brightest, *std::max_element(image.begin(), image.end()));
        }
    }
    EXPECT_GT(brightest, 4.0f);
}

// At 10 s the intro holds the stone still, face on and alone, 4.5 units from a camera of focal
// length 1.5 picture heights: its silhouette is the girdle, a regular decagon of circumradius
// 1 / 4.5 * 1.5 heights, centred. The stone is lit well above the dark backdrop.
TEST(ShowFrame, StoneCoversItsProjectedDecagon) {
    draw_background_pass(10.0f);
    Image image = read_texture(pipeline().color_buffers[0]);
    double radius = GL_TEST_HEIGHT * 1.5 / 4.5;
    double predicted = 5.0 * radius * radius * std::sin(2.0 * M_PI / 10.0);
    double area = 0.0, x_sum = 0.0, y_sum = 0.0;
    for (int i = 0; i < GL_TEST_WIDTH * GL_TEST_HEIGHT; ++i) {
        float luminance = 0.2126f * image[3 * i] + 0.7152f * image[3 * i + 1] + 0.0722f * image[3 * i + 2];
        if (luminance > 0.05f) {
            area += 1.0;
            x_sum += i % GL_TEST_WIDTH + 0.5;
            y_sum += i / GL_TEST_WIDTH + 0.5;
        }
    }
    // Within half a pixel of the predicted radius and of the picture's centre.
    EXPECT_NEAR(std::sqrt(area / predicted) * radius, radius, 0.5) << area << " of " << predicted;
    EXPECT_NEAR(x_sum / area, GL_TEST_WIDTH / 2.0, 0.5);
    EXPECT_NEAR(y_sum / area, GL_TEST_HEIGHT / 2.0, 0.5);
}

// The blur keeps the bright image's energy; "bloom" on with the blurred image against a black
// bloom image: pixels around the climax's highlights gain light and none lose any.
TEST(ShowFrame, BloomKeepsTheEnergyAndBrightensAroundHighlights) {
    Pipeline& p = pipeline();
    draw_frame(30.5f);
    auto sum = [](const Image& image) { return std::accumulate(image.begin(), image.end(), 0.0); };
    EXPECT_NEAR(sum(read_texture(p.pingpong_buffers[1])) / sum(read_texture(p.color_buffers[1])),
                1.0, 0.03);
    std::vector<unsigned char> with_bloom = read_window();
    glBindFramebuffer(GL_FRAMEBUFFER, p.pingpong_FBO[1]);
    glClear(GL_COLOR_BUFFER_BIT);
    draw_composite_pass(true);
    std::vector<unsigned char> without = read_window();
    int brighter = 0;
    for (size_t i = 0; i < with_bloom.size(); ++i) {
        ASSERT_GE(with_bloom[i] + 1, without[i]) << "byte " << i;
        brighter += with_bloom[i] > without[i] + 1;
    }
    EXPECT_GT(brighter, static_cast<int>(with_bloom.size() / 10));
}

// Inside the stone (12 to 28 s), light split by the facets blends through the hues: among the
// strongly coloured pixels with green in them, those where green mixes with red or blue (yellows,
// cyans) outnumber the pure greens by more than two to one (bands drawn in the primaries alone
// give about three to two).
TEST(ShowFrame, FireInsideTheStoneBlendsThroughTheHues) {
    Pipeline& p = pipeline();
    int pure_green = 0, blended = 0;
    for (float seconds = 12.5f; seconds < 28.0f; seconds += 0.25f) {
        draw_background_pass(seconds);
        Image image = read_texture(p.color_buffers[0]);
        for (size_t i = 0; i < image.size(); i += 3) {
            const float r = image[i], g = image[i + 1], b = image[i + 2];
            const float low = std::min(r, b), high = std::max(r, b);
            if (g < 0.2f || low > 0.25f * g || high > 2.0f * g)
                continue;
            (high > 0.35f * g ? blended : pure_green) += 1;
        }
    }
    EXPECT_GT(blended, 2 * pure_green);
}
