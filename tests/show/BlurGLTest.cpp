// The bloom blur's response to one bright point, through the demo's own blur passes and shaders,
// on targets resized to three picture sizes, the point's size following the picture's.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "FramePasses.h"
#include "GLTestContext.h"
#include "singletons/Pipeline.h"

namespace {

const float brightness = 100.0f;
// The point's radius at a height of 360, in pixels.
const double point_radius = 1.5;

// The blurred image (the red channel, bottom row first), its size, and the light put in.
struct Glow {
    int width, height;
    std::vector<float> red;
    double light;
    float at(int x, int y) const { return red[static_cast<size_t>(y) * width + x]; }
};

// The bright target holds a disc of `brightness` in the middle (edge pixels by their covered
// share), the ping-pong targets are resized to match; returns the five passes' result.
Glow blur_point(int width, int height) {
    Pipeline& p = Pipeline::get();
    if (p.hdr_FBO == 0)
        p.init();
    const double radius = point_radius * height / 360.0;
    std::vector<float> image(static_cast<size_t>(width) * height * 3, 0.0f);
    double light = 0.0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int covered = 0;
            for (int s = 0; s < 16; ++s)
                covered += std::hypot(x - width / 2 + (s % 4 + 0.5) / 4 - 0.5,
                                      y - height / 2 + (s / 4 + 0.5) / 4 - 0.5) < radius;
            for (int c = 0; c < 3; ++c)
                image[3 * (static_cast<size_t>(y) * width + x) + c] = brightness * covered / 16.0f;
            light += brightness * covered / 16.0;
        }
    glBindTexture(GL_TEXTURE_2D, p.color_buffers[1]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, width, height, 0, GL_RGB, GL_FLOAT, image.data());
    for (unsigned texture : p.pingpong_buffers) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, width, height, 0, GL_RGB, GL_FLOAT, nullptr);
    }
    p.width = width;
    p.height = height;
    draw_blur_passes();
    Glow glow{width, height, std::vector<float>(static_cast<size_t>(width) * height), light};
    glBindTexture(GL_TEXTURE_2D, p.pingpong_buffers[1]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_FLOAT, glow.red.data());
    return glow;
}

}  // namespace

// At the benchmark's size, at 1280x720 and at full HD: all of the light is kept; the spread across
// and down (the standard deviations of the light about its centre) is the same fraction of the
// height at every size, and the same on both axes; every pixel out to where the glow falls to 1%
// of its peak is at most as bright as its neighbour one step towards the centre (within 0.2% of
// the peak: half-float rounding), so no dot or ring stands out; and along every 1-px ring out to
// 2% of the peak, the pixels' ratios to the profile along the x axis at their distances vary by at
// most 5% (their standard deviation over their mean), so the glow is round, without a lattice or
// square corners.
TEST(Blur, OneBrightPointBecomesARoundSmoothGlowThatFollowsTheHeight) {
    double spread_at_360 = 0.0;
    for (auto [width, height] : {std::pair{640, 360}, {1280, 720}, {1920, 1080}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const Glow glow = blur_point(width, height);
        const int cx = width / 2, cy = height / 2;
        double total = 0.0, xx = 0.0, yy = 0.0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                total += glow.at(x, y);
                xx += glow.at(x, y) * (x - cx) * (x - cx);
                yy += glow.at(x, y) * (y - cy) * (y - cy);
            }
        EXPECT_NEAR(total / glow.light, 1.0, 0.01);
        const double across = std::sqrt(xx / total), down = std::sqrt(yy / total);
        EXPECT_NEAR(across / down, 1.0, 0.02);
        const double spread = (across + down) / 2.0 * 360.0 / height;
        if (height == 360)
            spread_at_360 = spread;
        EXPECT_NEAR(spread / spread_at_360, 1.0, 0.03);

        const float peak = glow.at(cx, cy);
        // The x axis's profile, linearly interpolated at a distance r.
        auto profile = [&](double r) {
            int i = static_cast<int>(r);
            double f = r - i;
            return (1.0 - f) * glow.at(cx + i, cy) + f * glow.at(cx + i + 1, cy);
        };
        int reach = 0;
        while (glow.at(cx + reach, cy) > 0.01f * peak)
            ++reach;
        int rings = 0;
        while (glow.at(cx + rings, cy) > 0.02f * peak)
            ++rings;
        // Per ring: the count, sum and sum of squares of the pixels' ratios.
        std::vector<double> count(rings), sum(rings), sum_sq(rings);
        float worst_rise = 0.0f;
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const double r = std::hypot(dx, dy);
                if (r == 0.0 || r > reach - 1)
                    continue;
                const float value = glow.at(cx + dx, cy + dy);
                int step_x = std::abs(dx) >= std::abs(dy) ? (dx > 0) - (dx < 0) : 0;
                int step_y = step_x == 0 ? (dy > 0) - (dy < 0) : 0;
                worst_rise = std::max(worst_rise, value - glow.at(cx + dx - step_x, cy + dy - step_y));
                const size_t ring = static_cast<size_t>(std::lround(r));
                if (ring >= count.size())
                    continue;
                const double ratio = value / profile(r);
                sum[ring] += ratio;
                sum_sq[ring] += ratio * ratio;
                count[ring] += 1.0;
            }
        EXPECT_LE(worst_rise / peak, 0.002f);
        for (size_t ring = 1; ring < count.size(); ++ring) {
            const double mean = sum[ring] / count[ring];
            const double variance = std::max(sum_sq[ring] / count[ring] - mean * mean, 0.0);
            EXPECT_LE(std::sqrt(variance) / mean, 0.05) << "ring " << ring;
        }
    }
}
