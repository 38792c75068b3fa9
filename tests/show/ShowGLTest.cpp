// The show's shaders in a real context: the frame as the demo draws it into
// the pipeline's targets (64x36), and the blur and composite programs on
// targets of their own, where a synthetic highlight shows what they do.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "FW/ScreenQuad.h"
#include "FW/Window.h"
#include "GLTestContext.h"
#include "singletons/Pipeline.h"

namespace {

// The timeline in shader units (0.4 x seconds).
const float BEAT = 0.2f;
const float DROP = 11.2f;
const float ENDING_START = 17.6f;
const float SHOW_END = 23.2f;

using Image = std::vector<float>;  // RGB floats, bottom row first

Pipeline& pipeline() {
    Pipeline& p = Pipeline::get();
    if (p.hdr_FBO == 0) {
        // The blend state the font engine sets at start-up: every pass blends.
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        p.init();
    }
    return p;
}

void set_viewport(int width, int height) {
    glViewport(0, 0, width, height);
}

// An RGB16F texture like the pipeline's; `filter` GL_NEAREST keeps texels apart.
unsigned make_texture(int width, int height, const float* data, int filter = GL_LINEAR) {
    unsigned texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, width, height, 0, GL_RGB, GL_FLOAT, data);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

Image read_texture(unsigned texture, int width, int height) {
    Image pixels(static_cast<size_t>(width) * height * 3);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, pixels.data());
    return pixels;
}

std::vector<unsigned char> read_framebuffer(int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

float mean(const Image& image) {
    double sum = 0.0;
    for (float v : image)
        sum += v;
    return static_cast<float>(sum / image.size());
}

// The background pass with the shader time `t`, as the frame drawing runs it.
void draw_background(float t) {
    Pipeline& p = pipeline();
    set_viewport(GL_TEST_WIDTH, GL_TEST_HEIGHT);
    glBindFramebuffer(GL_FRAMEBUFFER, p.hdr_FBO);
    glUseProgram(p.background_program.handle);
    glUniform1f(glGetUniformLocation(p.background_program.handle, "t"), t);
    FW::RenderQuad();
    glClear(GL_DEPTH_BUFFER_BIT);
}

// Five blur passes from `source` through the ping-pong pair; the result ends in targets[1].
void draw_blur(unsigned source, const unsigned framebuffers[2], const unsigned targets[2]) {
    Pipeline& p = pipeline();
    glUseProgram(p.blur_program.handle);
    bool horizontal = true;
    for (int pass = 0; pass < 5; ++pass) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[horizontal]);
        glUniform1i(glGetUniformLocation(p.blur_program.handle, "horizontal"), horizontal);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, pass == 0 ? source : targets[!horizontal]);
        FW::RenderQuad();
        horizontal = !horizontal;
    }
}

void draw_composite(unsigned framebuffer, unsigned scene, unsigned bloom_image, bool bloom,
                    float exposure = 1.0f) {
    Pipeline& p = pipeline();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(p.bloom_final_program.handle);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, scene);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, bloom_image);
    glUniform1i(glGetUniformLocation(p.bloom_final_program.handle, "bloom"), bloom);
    glUniform1f(glGetUniformLocation(p.bloom_final_program.handle, "exposure"), exposure);
    FW::RenderQuad();
    glActiveTexture(GL_TEXTURE0);
}

// A whole frame into the test window.
void draw_frame(float t, bool bloom = true) {
    Pipeline& p = pipeline();
    draw_background(t);
    draw_blur(p.color_buffers[1], p.pingpong_FBO, p.pingpong_buffers);
    draw_composite(0, p.color_buffers[0], p.pingpong_buffers[1], bloom);
}

// Blur and composite targets of any size, for synthetic input images.
struct Chain {
    int width, height;
    unsigned framebuffers[2] = {0, 0};
    unsigned targets[2] = {0, 0};
    unsigned output_FBO = 0, output_RBO = 0;

    Chain(int w, int h) : width(w), height(h) {
        glGenFramebuffers(2, framebuffers);
        for (int i = 0; i < 2; ++i) {
            targets[i] = make_texture(width, height, nullptr);
            glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[i]);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targets[i], 0);
        }
        glGenFramebuffers(1, &output_FBO);
        glGenRenderbuffers(1, &output_RBO);
        glBindRenderbuffer(GL_RENDERBUFFER, output_RBO);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, output_FBO);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, output_RBO);
        set_viewport(width, height);
    }
    ~Chain() {
        glDeleteFramebuffers(2, framebuffers);
        glDeleteTextures(2, targets);
        glDeleteFramebuffers(1, &output_FBO);
        glDeleteRenderbuffers(1, &output_RBO);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        set_viewport(GL_TEST_WIDTH, GL_TEST_HEIGHT);
    }

    Image blurred(unsigned source) {
        draw_blur(source, framebuffers, targets);
        return read_texture(targets[1], width, height);
    }
    std::vector<unsigned char> composite(unsigned scene, unsigned bloom_image, bool bloom,
                                         float exposure = 1.0f) {
        draw_composite(output_FBO, scene, bloom_image, bloom, exposure);
        return read_framebuffer(width, height);
    }
};

// A black image with a bright disc of `radius` pixels around the centre.
Image disc(int width, int height, float radius, float value) {
    Image image(static_cast<size_t>(width) * height * 3, 0.0f);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float dx = x + 0.5f - width / 2.0f, dy = y + 0.5f - height / 2.0f;
            if (dx * dx + dy * dy <= radius * radius)
                for (int c = 0; c < 3; ++c)
                    image[(static_cast<size_t>(y) * width + x) * 3 + c] = value;
        }
    return image;
}

// Red channel at a pixel offset from the centre.
float at(const Image& image, int width, int height, int dx, int dy) {
    return image[(static_cast<size_t>(height / 2 + dy) * width + width / 2 + dx) * 3];
}

float channel_sum(const Image& image) {
    double sum = 0.0;
    for (size_t i = 0; i < image.size(); i += 3)
        sum += image[i];
    return static_cast<float>(sum);
}

}  // namespace

// A sweep over the whole show, beats and section boundaries included: both
// HDR targets and the blurred image hold finite, non-negative values, and the
// highlights go well above 1.
TEST(ShowFrame, TargetsStayFiniteAndHdrOverTheWholeShow) {
    Pipeline& p = pipeline();
    float brightest = 0.0f;
    for (int step = 0; step * 0.05f <= SHOW_END; ++step) {
        float t = step * 0.05f;
        draw_frame(t);
        for (unsigned texture : {p.color_buffers[0], p.color_buffers[1], p.pingpong_buffers[1]}) {
            Image image = read_texture(texture, GL_TEST_WIDTH, GL_TEST_HEIGHT);
            for (float v : image) {
                ASSERT_TRUE(std::isfinite(v)) << "t " << t;
                ASSERT_GE(v, 0.0f) << "t " << t;
            }
            if (texture == p.color_buffers[0])
                brightest = std::max(brightest, *std::max_element(image.begin(), image.end()));
        }
    }
    EXPECT_GT(brightest, 4.0f);
}

// The bright output is the colour scaled down by a soft knee around 1: nothing
// below 0.5, the excess over 1 above 1.5, and in between a smooth curve that
// stays under both the knee's top and the excess.
TEST(ShowFrame, BrightOutputIsASoftKneeOfTheColour) {
    Pipeline& p = pipeline();
    int above_knee = 0, in_knee = 0;
    for (float t : {1.0f, 6.0f, 9.0f, DROP + 0.02f, 13.0f, 15.1f, 19.0f}) {
        draw_background(t);
        Image color = read_texture(p.color_buffers[0], GL_TEST_WIDTH, GL_TEST_HEIGHT);
        Image bright = read_texture(p.color_buffers[1], GL_TEST_WIDTH, GL_TEST_HEIGHT);
        for (size_t i = 0; i < color.size(); i += 3) {
            float peak = std::max({color[i], color[i + 1], color[i + 2]});
            float bright_peak = std::max({bright[i], bright[i + 1], bright[i + 2]});
            float tolerance = 0.004f * peak + 0.002f;  // half-float rounding
            for (int c = 0; c < 3; ++c)
                ASSERT_LE(bright[i + c], color[i + c] + tolerance);
            if (peak <= 0.49f) {
                ASSERT_EQ(bright_peak, 0.0f) << "peak " << peak;
            } else if (peak >= 1.51f) {
                ASSERT_NEAR(bright_peak, peak - 1.0f, tolerance) << "peak " << peak;
                ++above_knee;
            } else {
                ASSERT_LE(bright_peak, std::max(0.5f, peak - 1.0f) + tolerance) << "peak " << peak;
                ++in_knee;
            }
        }
    }
    EXPECT_GT(above_knee, 0);
    EXPECT_GT(in_knee, 0);
}

// Each frame depends on "t" alone: no output alpha below 1 lets an earlier
// frame show through.
TEST(ShowFrame, FrameDoesNotDependOnThePreviousFrames) {
    Pipeline& p = pipeline();
    const float t = 14.1f;
    draw_frame(2.0f);
    draw_frame(t);
    Image color_after_intro = read_texture(p.color_buffers[0], GL_TEST_WIDTH, GL_TEST_HEIGHT);
    std::vector<unsigned char> window_after_intro = read_framebuffer(GL_TEST_WIDTH, GL_TEST_HEIGHT);
    draw_frame(DROP);
    draw_frame(t);
    EXPECT_EQ(read_texture(p.color_buffers[0], GL_TEST_WIDTH, GL_TEST_HEIGHT), color_after_intro);
    EXPECT_EQ(read_framebuffer(GL_TEST_WIDTH, GL_TEST_HEIGHT), window_after_intro);
}

// Drums from the build-up on: the picture is brighter just after each beat
// than half a beat later; the intro has no drums and no beat accents.
TEST(ShowFrame, AccentsLandOnTheBeat) {
    Pipeline& p = pipeline();
    auto brightness = [&](float t) {
        draw_background(t);
        return mean(read_texture(p.color_buffers[0], GL_TEST_WIDTH, GL_TEST_HEIGHT));
    };
    auto accent_ratio = [&](float from, float to) {
        double on = 0.0, off = 0.0;
        for (float beat = from; beat < to - 0.01f; beat += BEAT) {
            on += brightness(beat + 0.01f);
            off += brightness(beat + 0.5f * BEAT);
        }
        return on / off;
    };
    EXPECT_GT(accent_ratio(6.4f, 9.6f), 1.1);            // build-up
    EXPECT_GT(accent_ratio(DROP + 0.8f, ENDING_START), 1.2);  // climax
    EXPECT_LT(accent_ratio(1.6f, 4.0f), 1.05);           // intro
}

// The composite with "bloom" on and the real blurred image, against the same
// with a black bloom image: pixels around the brightest spot gain light.
TEST(ShowFrame, BloomBrightensTheSurroundingsOfHighlights) {
    Pipeline& p = pipeline();
    const float t = DROP + 1.0f;
    draw_frame(t);
    std::vector<unsigned char> with_bloom = read_framebuffer(GL_TEST_WIDTH, GL_TEST_HEIGHT);
    Image black(static_cast<size_t>(GL_TEST_WIDTH) * GL_TEST_HEIGHT * 3, 0.0f);
    unsigned black_texture = make_texture(GL_TEST_WIDTH, GL_TEST_HEIGHT, black.data());
    draw_composite(0, p.color_buffers[0], black_texture, true);
    std::vector<unsigned char> without = read_framebuffer(GL_TEST_WIDTH, GL_TEST_HEIGHT);
    glDeleteTextures(1, &black_texture);

    long gained = 0;
    int brighter = 0, darker = 0;
    for (size_t i = 0; i < with_bloom.size(); ++i) {
        gained += with_bloom[i] - without[i];
        brighter += with_bloom[i] > without[i] + 1;
        darker += with_bloom[i] + 1 < without[i];
    }
    EXPECT_EQ(darker, 0);
    EXPECT_GT(brighter, static_cast<int>(with_bloom.size() / 10));
    EXPECT_GT(gained, 0);
}

// A bright disc on black at 320x180: the five passes keep its energy, spread
// it far and round, and the composite shows the glow well beyond the disc.
TEST(ShowBlur, GlowReachesFarRoundAndKeepsTheEnergy) {
    const int w = 320, h = 180;
    Image source = disc(w, h, 3.0f, 20.0f);
    unsigned texture = make_texture(w, h, source.data());
    Chain chain(w, h);
    Image blurred = chain.blurred(texture);

    EXPECT_NEAR(channel_sum(blurred) / channel_sum(source), 1.0f, 0.02f);
    // Light 5% of the height away from the disc's edge, on both axes alike.
    int d = 3 + h / 20;
    float right = at(blurred, w, h, d, 0), up = at(blurred, w, h, 0, d);
    EXPECT_GT(right, 0.01f);
    EXPECT_NEAR(up / right, 1.0f, 0.2f);
    // The profile falls smoothly: no comb of taps left in it.
    for (int x = 1; x < h / 8; ++x)
        EXPECT_LE(at(blurred, w, h, x + 1, 0), at(blurred, w, h, x, 0) * 1.02f) << "x " << x;

    std::vector<unsigned char> with_bloom = chain.composite(texture, chain.targets[1], true);
    std::vector<unsigned char> without = chain.composite(texture, chain.targets[1], false);
    size_t ring = (static_cast<size_t>(h / 2) * w + w / 2 + d) * 3;
    EXPECT_GT(with_bloom[ring], without[ring] + 20);
    glDeleteTextures(1, &texture);
}

// The glow is a fixed fraction of the picture height: the same disc, scaled
// with the image, gives the same profile at 320x180 and at 1280x720.
TEST(ShowBlur, GlowHasTheSameShapeAtEverySize) {
    std::vector<float> profiles[2];
    const int heights[2] = {180, 720};
    for (int k = 0; k < 2; ++k) {
        int h = heights[k], w = h * 16 / 9;
        Image source = disc(w, h, 0.02f * h, 10.0f);
        unsigned texture = make_texture(w, h, source.data());
        Chain chain(w, h);
        Image blurred = chain.blurred(texture);
        for (float distance : {0.03f, 0.05f, 0.08f})
            profiles[k].push_back(at(blurred, w, h, static_cast<int>(distance * h), 0));
        glDeleteTextures(1, &texture);
    }
    for (size_t i = 0; i < profiles[0].size(); ++i) {
        EXPECT_GT(profiles[0][i], 0.0f);
        EXPECT_NEAR(profiles[1][i] / profiles[0][i], 1.0f, 0.15f) << "sample " << i;
    }
}

// The tone curve on a row of HDR values: black stays black, the curve rises,
// mid grey is gamma-encoded, huge values and infinity reach white, NaN and
// negative values show black, and "exposure" scales the input. The texels are
// sampled apart: a linear filter turns a neighbour's infinity into NaN.
TEST(ShowComposite, ToneMapsEveryInputToADisplayValue) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> values = {0.0f, 0.01f, 0.05f, 0.18f, 0.5f, 1.0f, 4.0f, 16.0f, 1000.0f,
                                       inf, nan, -5.0f};
    const int w = static_cast<int>(values.size()), h = 1;
    Image row;
    for (float v : values)
        row.insert(row.end(), {v, v, v});
    unsigned scene = make_texture(w, h, row.data(), GL_NEAREST);
    Chain chain(w, h);
    std::vector<unsigned char> out = chain.composite(scene, scene, false);
    auto grey = [&](size_t i) { return static_cast<int>(out[i * 3 + 1]); };

    EXPECT_EQ(grey(0), 0);
    for (size_t i = 1; i < 9; ++i)
        EXPECT_GT(grey(i), grey(i - 1) - 2) << "value " << values[i];
    EXPECT_GT(grey(8), grey(3) + 80);
    EXPECT_GE(grey(3), 110);  // linear 0.18 encoded for display, not 0.18 * 255
    EXPECT_LE(grey(3), 160);
    EXPECT_GE(grey(8), 250);
    EXPECT_GE(grey(9), 250);
    EXPECT_EQ(grey(10), 0);
    EXPECT_EQ(grey(11), 0);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(out[i * 3], out[i * 3 + 2]) << "grey stays grey";

    std::vector<unsigned char> exposed = chain.composite(scene, scene, false, 4.0f);
    EXPECT_GT(exposed[3 * 3 + 1], out[3 * 3 + 1] + 30);
    glDeleteTextures(1, &scene);
}
