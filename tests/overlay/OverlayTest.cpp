#include <deque>
#include <utility>

#include <gtest/gtest.h>
#include <glm/gtc/constants.hpp>

#include "DrawCallback.h"
#include "FW/GL.h"
#include "singletons/FontEngine.h"
#include "singletons/UI.h"

namespace {

const float pi = glm::pi<float>();

TEST(MouseLook, CentreEdgesAndOutsideTheWindow) {
    struct Case { double x, y; float pitch, yaw; };
    const Case cases[] = {{800, 450, 0, 0},          {0, 450, 0, pi},
                          {1600, 450, 0, -pi},       {800, 0, pi / 2, 0},
                          {800, 900, -pi / 2, 0},    {400, 225, pi / 4, pi / 2},
                          {-800, -450, pi, 2 * pi},  {3200, 1800, -3 * pi / 2, -3 * pi}};
    for (const Case& c : cases) {
        PitchYaw a = mouse_look_angles(c.x, c.y, 1600, 900);
        EXPECT_FLOAT_EQ(a.pitch, c.pitch) << c.x << ", " << c.y;
        EXPECT_FLOAT_EQ(a.yaw, c.yaw) << c.x << ", " << c.y;
    }
}

TEST(KeyToggles, PressesFlipTheirFlagRepeatsAndReleasesDoNot) {
    UI& ui = UI::get();
    const std::pair<int, bool*> toggles[] = {
        {GLFW_KEY_M, &ui.mouse_look}, {GLFW_KEY_I, &ui.show_info}, {GLFW_KEY_F, &ui.show_fps}};
    for (auto [code, flag] : toggles) {
        ui.mouse_look = ui.show_info = ui.show_fps = false;
        for (int action : {GLFW_PRESS, GLFW_REPEAT, GLFW_RELEASE, GLFW_REPEAT})
            ui.key_receiver.callback(code, 0, action, 0);
        EXPECT_TRUE(*flag) << code;
        EXPECT_EQ(ui.mouse_look + ui.show_info + ui.show_fps, 1) << code;
        ui.key_receiver.callback(code, 0, GLFW_PRESS, 0);
        EXPECT_FALSE(*flag) << code;
    }
}

TEST(GlyphQuad, WorkedExample) {
    FontEngine::Character ch{7, {10, 14}, {1, 10}, 704};
    float quad[6][4];
    glyph_quad(ch, 10.0f, 15.0f, quad);
    const float expected[6][4] = {{11, 25, 0, 0}, {11, 11, 0, 1}, {21, 11, 1, 1},
                                  {11, 25, 0, 0}, {21, 11, 1, 1}, {21, 25, 1, 0}};
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(quad[i][j], expected[i][j]) << "vertex " << i << " component " << j;
}

TEST(FrameTimes, TrimKeepsStampsUpToOneSecondOld) {
    std::deque<float> stamps{0.5f, 1.0f, 1.5f, 2.0f};
    EXPECT_EQ(trim_frame_times(stamps, 2.0f), 3u);
    EXPECT_EQ(stamps, (std::deque<float>{1.0f, 1.5f, 2.0f}));
    EXPECT_EQ(trim_frame_times(stamps, 2.0001f), 2u);
    EXPECT_EQ(trim_frame_times(stamps, 10.0f), 0u);
    EXPECT_EQ(trim_frame_times(stamps, 10.0f), 0u);
}

}  // namespace
