#include <deque>

#include <gtest/gtest.h>
#include <glm/gtc/constants.hpp>

#include "DrawCallback.h"
#include "FW/GL.h"
#include "singletons/FontEngine.h"
#include "singletons/UI.h"

namespace {

const float pi = glm::pi<float>();

TEST(MouseLook, CentreAndEdges) {
    PitchYaw centre = mouse_look_angles(800, 450, 1600, 900);
    EXPECT_EQ(centre.pitch, 0.0f);
    EXPECT_EQ(centre.yaw, 0.0f);

    EXPECT_FLOAT_EQ(mouse_look_angles(0, 450, 1600, 900).yaw, pi);
    EXPECT_FLOAT_EQ(mouse_look_angles(1600, 450, 1600, 900).yaw, -pi);
    EXPECT_FLOAT_EQ(mouse_look_angles(800, 0, 1600, 900).pitch, pi / 2);
    EXPECT_FLOAT_EQ(mouse_look_angles(800, 900, 1600, 900).pitch, -pi / 2);
    // Each axis depends on its own coordinate only.
    EXPECT_EQ(mouse_look_angles(0, 450, 1600, 900).pitch, 0.0f);
    EXPECT_EQ(mouse_look_angles(800, 0, 1600, 900).yaw, 0.0f);
    // A quarter of the width is a quarter turn.
    EXPECT_FLOAT_EQ(mouse_look_angles(400, 225, 1600, 900).yaw, pi / 2);
    EXPECT_FLOAT_EQ(mouse_look_angles(400, 225, 1600, 900).pitch, pi / 4);
}

TEST(MouseLook, OutsideTheWindowIsNotClamped) {
    PitchYaw far_left_top = mouse_look_angles(-800, -450, 1600, 900);
    EXPECT_FLOAT_EQ(far_left_top.yaw, 2 * pi);
    EXPECT_FLOAT_EQ(far_left_top.pitch, pi);
    PitchYaw far_right_bottom = mouse_look_angles(3200, 1800, 1600, 900);
    EXPECT_FLOAT_EQ(far_right_bottom.yaw, -3 * pi);
    EXPECT_FLOAT_EQ(far_right_bottom.pitch, -3 * pi / 2);
}

class KeyToggles : public ::testing::Test {
protected:
    void SetUp() override {
        UI& ui = UI::get();
        ui.mouse_look = ui.show_info = ui.show_fps = false;
    }
    void key(int code, int action) { UI::get().key_receiver.callback(code, 0, action, 0); }
};

TEST_F(KeyToggles, EachPressFlipsItsFlag) {
    UI& ui = UI::get();
    key(GLFW_KEY_I, GLFW_PRESS);
    EXPECT_TRUE(ui.show_info);
    EXPECT_FALSE(ui.show_fps);
    EXPECT_FALSE(ui.mouse_look);
    key(GLFW_KEY_F, GLFW_PRESS);
    EXPECT_TRUE(ui.show_fps);
    key(GLFW_KEY_M, GLFW_PRESS);
    EXPECT_TRUE(ui.mouse_look);
    key(GLFW_KEY_I, GLFW_PRESS);
    key(GLFW_KEY_F, GLFW_PRESS);
    key(GLFW_KEY_M, GLFW_PRESS);
    EXPECT_FALSE(ui.show_info);
    EXPECT_FALSE(ui.show_fps);
    EXPECT_FALSE(ui.mouse_look);
}

TEST_F(KeyToggles, RepeatsReleasesAndOtherKeysChangeNothing) {
    UI& ui = UI::get();
    key(GLFW_KEY_I, GLFW_PRESS);
    for (int i = 0; i < 5; ++i)
        key(GLFW_KEY_I, GLFW_REPEAT);
    key(GLFW_KEY_I, GLFW_RELEASE);
    EXPECT_TRUE(ui.show_info);
    key(GLFW_KEY_F, GLFW_REPEAT);
    key(GLFW_KEY_M, GLFW_RELEASE);
    for (int code : {GLFW_KEY_W, GLFW_KEY_ESCAPE, GLFW_KEY_UP, GLFW_KEY_KP_ADD})
        key(code, GLFW_PRESS);
    EXPECT_TRUE(ui.show_info);
    EXPECT_FALSE(ui.show_fps);
    EXPECT_FALSE(ui.mouse_look);
}

void expect_quad(const float quad[6][4], const float expected[6][4]) {
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(quad[i][j], expected[i][j]) << "vertex " << i << " component " << j;
}

TEST(GlyphQuad, WorkedExample) {
    FontEngine::Character ch{7, {10, 14}, {1, 10}, 704};
    float quad[6][4];
    glyph_quad(ch, 10.0f, 15.0f, quad);
    const float expected[6][4] = {{11, 25, 0, 0}, {11, 11, 0, 1}, {21, 11, 1, 1},
                                  {11, 25, 0, 0}, {21, 11, 1, 1}, {21, 25, 1, 0}};
    expect_quad(quad, expected);
    EXPECT_EQ(ch.advance >> 6, 11u);
}

TEST(GlyphQuad, BaselineWithDescenderAndNegativeBearing) {
    // A descender: the bitmap reaches 4 pixels below the baseline.
    FontEngine::Character ch{0, {6, 12}, {-2, 8}, 0};
    float quad[6][4];
    glyph_quad(ch, 100.5f, 40.0f, quad);
    const float expected[6][4] = {{98.5f, 48, 0, 0}, {98.5f, 36, 0, 1}, {104.5f, 36, 1, 1},
                                  {98.5f, 48, 0, 0}, {104.5f, 36, 1, 1}, {104.5f, 48, 1, 0}};
    expect_quad(quad, expected);
}

TEST(GlyphQuad, ZeroRecordIsAnEmptyQuadAtThePen) {
    FontEngine::Character ch{};
    float quad[6][4];
    glyph_quad(ch, 30.0f, 15.0f, quad);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(quad[i][0], 30.0f);
        EXPECT_EQ(quad[i][1], 15.0f);
    }
}

TEST(FrameTimes, TrimKeepsTheLastSecondInclusive) {
    std::deque<float> stamps{0.5f, 1.0f, 1.5f, 2.0f};
    EXPECT_EQ(trim_frame_times(stamps, 2.0f), 3u);
    EXPECT_EQ(stamps, (std::deque<float>{1.0f, 1.5f, 2.0f}));
    // A stamp just over one second old goes.
    EXPECT_EQ(trim_frame_times(stamps, 2.0001f), 2u);
    EXPECT_EQ(stamps.front(), 1.5f);
    // Everything older than a second goes; the queue may end empty.
    EXPECT_EQ(trim_frame_times(stamps, 10.0f), 0u);
    EXPECT_TRUE(stamps.empty());
    EXPECT_EQ(trim_frame_times(stamps, 10.0f), 0u);
}

TEST(FrameTimes, StampsAheadOfTheClockStay) {
    // Capture mode: the frame clock can lag behind the wall-clock stamps.
    std::deque<float> stamps{3.0f, 4.0f};
    EXPECT_EQ(trim_frame_times(stamps, 0.5f), 2u);
    EXPECT_EQ(stamps.size(), 2u);
}

}  // namespace
