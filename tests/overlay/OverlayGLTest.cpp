#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <glm/glm.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "CameraExpect.h"
#include "DrawCallback.h"
#include "FakeInput.h"
#include "FW/Window.h"
#include "singletons/FontEngine.h"
#include "singletons/Scene.h"
#include "singletons/UI.h"

namespace {

const float pi = glm::pi<float>();
const float eps = 1e-4f;

// The scene's camera as the scene sets it up, taken before any test moves it.
const glm::mat4& start_view() {
    static const glm::mat4 view = Scene::get()->camera.view;
    return view;
}

// The scene's camera at its start (eye at (0, 0, 10) looking along -z),
// speed 10, nothing held.
class Controls : public ::testing::Test {
protected:
    Scene* scene = Scene::get();
    FW::Camera& camera = scene->camera;

    void SetUp() override {
        camera.view = start_view();
        scene->camera_speed = 10.0f;
        FakeInput::get().clear();
        UI::get().mouse_look = false;
    }
    void TearDown() override { FakeInput::get().clear(); }
    void hold(int key) { FakeInput::get().keys.insert(key); }
    void hold_button(int button) { FakeInput::get().buttons.insert(button); }
};

TEST_F(Controls, NothingHeldChangesNothing) {
    glm::mat4 before = camera.view;
    UI::get().logic(0.5f);
    EXPECT_EQ(camera.view, before);
    EXPECT_EQ(scene->camera_speed, 10.0f);
}

TEST_F(Controls, TurnsAtOneRadianPerSecond) {
    hold(GLFW_KEY_W);
    UI::get().logic(1.0f);
    expect_near(camera.get_forward(), {0, std::sin(1.0f), -std::cos(1.0f)}, eps);
    expect_near(eye(camera), {0, 0, 10}, eps);

    SetUp();
    hold(GLFW_KEY_D);
    UI::get().logic(pi / 2);
    expect_near(camera.get_forward(), {1, 0, 0}, eps);

    // Opposite keys cancel; a negative step turns the other way.
    SetUp();
    hold(GLFW_KEY_W);
    hold(GLFW_KEY_S);
    UI::get().logic(0.7f);
    expect_near(camera.get_forward(), {0, 0, -1}, eps);
    SetUp();
    hold(GLFW_KEY_A);
    UI::get().logic(-pi / 2);
    expect_near(camera.get_forward(), {1, 0, 0}, eps);
}

TEST_F(Controls, MovesUseTheDirectionAfterTheTurnsOfTheSameFrame) {
    // A turns left a quarter first, so Q's "left" is then +z.
    hold(GLFW_KEY_A);
    hold(GLFW_KEY_Q);
    UI::get().logic(pi / 2);
    expect_near(camera.get_forward(), {-1, 0, 0}, eps);
    expect_near(eye(camera), {0, 0, 10 + 10 * pi / 2}, eps);

    SetUp();
    hold(GLFW_KEY_E);
    UI::get().logic(0.5f);
    expect_near(eye(camera), {5, 0, 10}, eps);
}

TEST_F(Controls, SpeedIsReadOnceAndChangesFromTheNextFrame) {
    hold(GLFW_KEY_KP_ADD);
    hold(GLFW_KEY_UP);
    UI::get().logic(0.5f);
    expect_near(eye(camera), {0, 0, 5}, eps);
    EXPECT_FLOAT_EQ(scene->camera_speed, 15.0f);
    UI::get().logic(0.5f);
    expect_near(eye(camera), {0, 0, -2.5f}, eps);
    EXPECT_FLOAT_EQ(scene->camera_speed, 20.0f);

    // The speed is not clamped: below zero it reverses the moves.
    SetUp();
    hold(GLFW_KEY_KP_SUBTRACT);
    UI::get().logic(1.5f);
    EXPECT_FLOAT_EQ(scene->camera_speed, -5.0f);
    FakeInput::get().clear();
    hold(GLFW_KEY_UP);
    UI::get().logic(1.0f);
    expect_near(eye(camera), {0, 0, 15}, eps);
}

TEST_F(Controls, KeyAndMouseButtonMoveOnceTogether) {
    hold(GLFW_KEY_UP);
    hold_button(GLFW_MOUSE_BUTTON_LEFT);
    UI::get().logic(0.1f);
    expect_near(eye(camera), {0, 0, 9}, eps);
    FakeInput::get().keys.clear();
    UI::get().logic(0.1f);
    expect_near(eye(camera), {0, 0, 8}, eps);

    SetUp();
    hold(GLFW_KEY_DOWN);
    hold_button(GLFW_MOUSE_BUTTON_RIGHT);
    UI::get().logic(0.1f);
    expect_near(eye(camera), {0, 0, 11}, eps);
    FakeInput::get().keys.clear();
    UI::get().logic(0.1f);
    expect_near(eye(camera), {0, 0, 12}, eps);

    // Forward and backward together cancel out.
    hold_button(GLFW_MOUSE_BUTTON_LEFT);
    UI::get().logic(0.3f);
    expect_near(eye(camera), {0, 0, 12}, eps);
}

TEST_F(Controls, MouseLookSetsAbsoluteAnglesWhileOn) {
    ASSERT_EQ(FW::SCREEN_WIDTH, 64);
    ASSERT_EQ(FW::SCREEN_HEIGHT, 36);
    UI& ui = UI::get();
    camera.translate({1, 2, 3});
    camera.rotate(0.4f, {0, 1, 0});
    glm::mat4 before = camera.view;
    ui.mouse_receiver.callback(0, 0);
    EXPECT_EQ(camera.view, before);

    ui.key_receiver.callback(GLFW_KEY_M, 0, GLFW_PRESS, 0);
    ui.mouse_receiver.callback(32, 18);
    expect_near(camera.get_forward(), {0, 0, -1}, eps);
    expect_near(eye(camera), {1, 2, 13}, eps);
    ui.mouse_receiver.callback(0, 18);  // left edge: half a turn
    expect_near(camera.get_forward(), {0, 0, 1}, eps);
    ui.mouse_receiver.callback(32, 0);  // top edge: straight up
    expect_near(camera.get_forward(), {0, 1, 0}, eps);

    ui.key_receiver.callback(GLFW_KEY_M, 0, GLFW_PRESS, 0);
    before = camera.view;
    ui.mouse_receiver.callback(10, 30);
    EXPECT_EQ(camera.view, before);
}

const int target_width = 400;
const int target_height = 100;
const int text_size = 20;

// An offscreen RGBA8 target the size given to FontEngine::init, cleared to black.
class Text : public ::testing::Test {
protected:
    GLuint fbo = 0;
    GLuint colour = 0;

    static void SetUpTestSuite() {
        FontEngine& font = FontEngine::get();
        if (font.program.handle == 0)
            font.init(target_width, target_height);
    }

    void SetUp() override {
        glGenTextures(1, &colour);
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, target_width, target_height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
        ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
        glViewport(0, 0, target_width, target_height);
        clear();
    }

    void TearDown() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &fbo);
        glDeleteTextures(1, &colour);
        glViewport(0, 0, FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT);
    }

    void clear() {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // RGB bytes, rows from the bottom up.
    std::vector<unsigned char> read() {
        std::vector<unsigned char> rgba(4 * target_width * target_height);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, target_width, target_height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<unsigned char> rgb;
        for (size_t i = 0; i < rgba.size(); i += 4)
            rgb.insert(rgb.end(), rgba.begin() + i, rgba.begin() + i + 3);
        return rgb;
    }

    std::vector<unsigned char> render(const std::string& text, float x, float y, glm::vec3 c) {
        clear();
        FontEngine::get().draw(text, x, y, text_size, c);
        return read();
    }
};

// The glyph's coverage bitmap as uploaded, first row = top row.
std::vector<unsigned char> glyph_bitmap(const FontEngine::Character& ch) {
    std::vector<unsigned char> bytes(static_cast<size_t>(ch.size.x) * ch.size.y);
    if (bytes.empty())
        return bytes;
    glBindTexture(GL_TEXTURE_2D, ch.texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, bytes.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return bytes;
}

// What the text should look like over black: each glyph's bitmap placed with
// its top at baseline + bearing.y, blended by its coverage.
std::vector<float> expected_image(const std::string& text, int x, int y, glm::vec3 c) {
    std::vector<float> image(3 * target_width * target_height, 0.0f);
    int pen = x;
    for (char code : text) {
        const FontEngine::Character& ch = FontEngine::get().characters.at({text_size, code});
        std::vector<unsigned char> bitmap = glyph_bitmap(ch);
        for (int row = 0; row < ch.size.y; ++row) {
            for (int col = 0; col < ch.size.x; ++col) {
                int px = pen + ch.bearing.x + col;
                int py = y + ch.bearing.y - 1 - row;
                if (px < 0 || px >= target_width || py < 0 || py >= target_height)
                    continue;
                float a = bitmap[row * ch.size.x + col] / 255.0f;
                for (int k = 0; k < 3; ++k) {
                    float& p = image[3 * (py * target_width + px) + k];
                    p = c[k] * a + p * (1.0f - a);
                }
            }
        }
        pen += static_cast<int>(ch.advance >> 6);
    }
    return image;
}

void expect_image(const std::vector<unsigned char>& actual, const std::vector<float>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    int mismatches = 0;
    for (size_t i = 0; i < actual.size(); ++i) {
        if (std::abs(actual[i] - expected[i] * 255.0f) > 2.0f && ++mismatches <= 5) {
            size_t pixel = i / 3;
            ADD_FAILURE() << "pixel (" << pixel % target_width << ", " << pixel / target_width
                          << ") channel " << i % 3 << ": " << int(actual[i]) << " vs "
                          << expected[i] * 255.0f;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

int lit_in_row(const std::vector<unsigned char>& image, int row, int from, int to) {
    int lit = 0;
    for (int x = from; x < to; ++x)
        lit += image[3 * (row * target_width + x)] > 128;
    return lit;
}

TEST_F(Text, GlyphsSitOnTheBaselineFromTheBottomLeft) {
    std::vector<unsigned char> image = render("L", 10, 20, {1, 1, 1});
    const FontEngine::Character& L = FontEngine::get().characters.at({text_size, 'L'});
    ASSERT_GT(L.size.x, 5);
    ASSERT_EQ(L.bearing.y, L.size.y);  // no descender
    int left = 10 + L.bearing.x;
    // Nothing below the baseline; the foot of the L is the baseline row and
    // is wider than its top.
    for (int row = 0; row < 20; ++row)
        EXPECT_EQ(lit_in_row(image, row, 0, target_width), 0) << "row " << row;
    int foot = lit_in_row(image, 20, left, left + L.size.x);
    int top = lit_in_row(image, 20 + L.size.y - 1, left, left + L.size.x);
    EXPECT_GE(foot, L.size.x * 2 / 3);
    EXPECT_GT(top, 0);
    EXPECT_LT(top, foot / 2);
    EXPECT_EQ(lit_in_row(image, 20 + L.size.y, 0, target_width), 0);
}

TEST_F(Text, TextMatchesTheGlyphBitmapsPenByPen) {
    const glm::vec3 c(1.0f, 0.5f, 0.25f);
    // g has a descender, the space an empty bitmap that still moves the pen.
    const std::string text = "Lg Wy!";
    std::vector<unsigned char> image = render(text, 12, 30, c);
    std::vector<float> expected = expected_image(text, 12, 30, c);
    float total = 0;
    for (float v : expected)
        total += v;
    ASSERT_GT(total, 50.0f);
    expect_image(image, expected);

    const FontEngine::Character& space = FontEngine::get().characters.at({text_size, ' '});
    EXPECT_EQ(space.size, glm::ivec2(0, 0));
    EXPECT_GT(space.advance >> 6, 0u);
}

TEST_F(Text, UnknownBytesInsertAnEmptyRecordAndDoNotMoveThePen) {
    FontEngine& font = FontEngine::get();
    std::vector<unsigned char> plain = render("AB", 10, 40, {1, 1, 1});
    const char high = static_cast<char>(0xC8);
    std::vector<unsigned char> with_high = render(std::string("A") + high + "B", 10, 40, {1, 1, 1});
    EXPECT_EQ(with_high, plain);
    const FontEngine::Character& record = font.characters.at({text_size, high});
    EXPECT_EQ(record.texture, 0u);
    EXPECT_EQ(record.size, glm::ivec2(0, 0));
    EXPECT_EQ(record.bearing, glm::ivec2(0, 0));
    EXPECT_EQ(record.advance, 0u);
}

TEST_F(Text, DrawRestoresStateAndLoadsEachSizeOnce) {
    FontEngine& font = FontEngine::get();
    const int new_size = 13;
    ASSERT_EQ(font.loaded_sizes.count(new_size), 0u);
    glEnable(GL_DEPTH_TEST);
    font.draw("", 5, 5, new_size, {1, 1, 1});
    EXPECT_EQ(font.loaded_sizes.count(new_size), 1u);
    ASSERT_EQ(font.characters.count({new_size, 'A'}), 1u);
    const FontEngine::Character small_a = font.characters.at({new_size, 'A'});
    EXPECT_NE(small_a.texture, font.characters.at({text_size, 'A'}).texture);
    EXPECT_LT(small_a.size.y, font.characters.at({text_size, 'A'}).size.y);
    EXPECT_EQ(read(), std::vector<unsigned char>(3 * target_width * target_height, 0));

    font.draw("AAA", 5, 5, new_size, {1, 1, 1});
    EXPECT_EQ(font.characters.at({new_size, 'A'}).texture, small_a.texture);

    GLint value = 0;
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glGetIntegerv(GL_BLEND_SRC_RGB, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST_RGB, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 1);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(static_cast<GLuint>(value), font.program.handle);
}

// The overlay draws into whatever framebuffer is bound: here the offscreen target.
class InfoTexts : public Text {
protected:
    DrawCallback callback;

    void SetUp() override {
        Text::SetUp();
        Scene::get()->camera.view = start_view();
        UI& ui = UI::get();
        ui.show_info = ui.show_fps = false;
        callback.frame_times = {11.0f, 11.5f, 12.0f, 12.5f};
    }
    void TearDown() override {
        UI& ui = UI::get();
        ui.show_info = ui.show_fps = false;
        Text::TearDown();
    }
    std::vector<unsigned char> overlay(float t) {
        clear();
        callback.draw_info_texts(t);
        return read();
    }
    std::vector<unsigned char> reference(const std::vector<std::pair<std::string, float>>& lines) {
        clear();
        for (const auto& line : lines)
            FontEngine::get().draw(line.first, 10, line.second, text_size, {1, 1, 1});
        return read();
    }
};

TEST_F(InfoTexts, OffDrawsNothingButStillTrims) {
    std::vector<unsigned char> image = overlay(12.5f);
    EXPECT_EQ(image, std::vector<unsigned char>(image.size(), 0));
    EXPECT_EQ(callback.frame_times, (std::deque<float>{11.5f, 12.0f, 12.5f}));
}

TEST_F(InfoTexts, CountAlone) {
    UI::get().show_fps = true;
    EXPECT_EQ(overlay(12.5f), reference({{"3", 15}}));
}

TEST_F(InfoTexts, FpsTimeAndCameraLines) {
    UI::get().show_info = true;
    EXPECT_EQ(overlay(12.5f), reference({{"FPS: 3", 45},
                                         {"Time: 12.500000", 75},
                                         {"Camera: 0.000000 0.000000 10.000000", 15}}));
    // Both on: the count and the camera line overlap at the bottom.
    UI::get().show_fps = true;
    callback.frame_times.clear();
    EXPECT_EQ(overlay(0.25f), reference({{"0", 15},
                                         {"FPS: 0", 45},
                                         {"Time: 0.250000", 75},
                                         {"Camera: 0.000000 0.000000 10.000000", 15}}));
}

}  // namespace
