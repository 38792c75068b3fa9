#include "GLTestContext.h"

#include <gtest/gtest.h>

#include "FW/Window.h"

// Opens one small window with a current 3.3 core context before the tests run.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    FW::init(GL_TEST_WIDTH, GL_TEST_HEIGHT, "gl test", false);
    return RUN_ALL_TESTS();
}
