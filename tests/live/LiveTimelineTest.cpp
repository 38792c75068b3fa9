// The live clock and its keys.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include "LiveTimeline.h"

namespace {

const double frame = 1.0 / 60.0;

TEST(LiveTimeline, FollowsTheWallClockStandsStillWhilePausedAndStepsOnlyThen) {
    LiveTimeline timeline(10.0, 100.0);
    EXPECT_DOUBLE_EQ(timeline.frame_time(101.5), 11.5);
    timeline.step(1, 101.5);
    EXPECT_FALSE(timeline.jumped);
    timeline.toggle_pause(102.0);
    EXPECT_DOUBLE_EQ(timeline.frame_time(500.0), 12.0);
    timeline.step(1, 500.0);
    EXPECT_TRUE(timeline.jumped);
    EXPECT_DOUBLE_EQ(timeline.position(600.0), 12.0 + frame);
    timeline.toggle_pause(600.0);
    EXPECT_DOUBLE_EQ(timeline.position(601.0), 13.0 + frame);
}

TEST(LiveTimeline, KeysSeekStepAndRewindWithinTheShow) {
    struct Case { double from; int key, action; double to; };
    const Case cases[] = {
        {30, GLFW_KEY_RIGHT, GLFW_PRESS, 35},    {30, GLFW_KEY_RIGHT, GLFW_REPEAT, 35},
        {30, GLFW_KEY_RIGHT, GLFW_RELEASE, 30},  {30, GLFW_KEY_LEFT, GLFW_PRESS, 25},
        {30, GLFW_KEY_PAGE_DOWN, GLFW_PRESS, 32}, {30, GLFW_KEY_PAGE_UP, GLFW_PRESS, 28},
        {30, GLFW_KEY_PERIOD, GLFW_PRESS, 30 + frame}, {30, GLFW_KEY_COMMA, GLFW_REPEAT, 30 - frame},
        {30, GLFW_KEY_HOME, GLFW_PRESS, 0},      {30, GLFW_KEY_HOME, GLFW_REPEAT, 30},
        {3, GLFW_KEY_LEFT, GLFW_PRESS, 0},       {0, GLFW_KEY_COMMA, GLFW_PRESS, 0},
        {55, GLFW_KEY_RIGHT, GLFW_PRESS, 0},     {57.99, GLFW_KEY_PERIOD, GLFW_PRESS, 0},
    };
    for (const Case& c : cases) {
        LiveTimeline timeline(c.from, 0.0);
        timeline.paused = true;
        EXPECT_TRUE(apply_timeline_key(timeline, c.key, c.action, 7.0));
        EXPECT_DOUBLE_EQ(timeline.position(9.0), c.to) << c.from << " key " << c.key << " action " << c.action;
        EXPECT_TRUE(timeline.paused);
    }
    LiveTimeline timeline(30.0, 0.0);
    EXPECT_FALSE(apply_timeline_key(timeline, GLFW_KEY_I, GLFW_PRESS, 1.0));
    EXPECT_TRUE(apply_timeline_key(timeline, GLFW_KEY_SPACE, GLFW_PRESS, 1.0) && timeline.paused);
    apply_timeline_key(timeline, GLFW_KEY_SPACE, GLFW_REPEAT, 2.0);
    EXPECT_TRUE(timeline.paused && !timeline.jumped);
}

}  // namespace
