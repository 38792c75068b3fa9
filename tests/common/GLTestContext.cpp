#include "GLTestContext.h"

#include <gtest/gtest.h>

#include "FW/Window.h"

namespace {

// Opens one small window with a current 3.3 core context before the tests run.
class GLContextEnvironment : public ::testing::Environment {
public:
    void SetUp() override { FW::init(GL_TEST_WIDTH, GL_TEST_HEIGHT, "gl test", false); }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GLContextEnvironment);
    return RUN_ALL_TESTS();
}
