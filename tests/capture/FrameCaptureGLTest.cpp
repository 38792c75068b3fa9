#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "BmpTestFiles.h"
#include "DrawCallback.h"
#include "FW/Window.h"
#include "GLTestContext.h"
#include "PixelBuffer.h"

// One frame larger than the buffer, 33 x 35 (rows not a multiple of 4 bytes) out of a window
// red from its middle row up and blue below: the buffer follows the frame, the file is upright.
TEST(FrameCapture, WritesUprightFilesWithTightRowsAndABufferThatFollowsTheFrame) {
    const int width = 33, height = 35;
    TempDir dir;
    std::filesystem::create_directory(dir.path / "capture");
    std::filesystem::current_path(dir.path);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, GL_TEST_HEIGHT / 2, GL_TEST_WIDTH, GL_TEST_HEIGHT);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    pixel_buffer.assign(rgb_frame_size(8, 8), 0);
    FW::SCREEN_WIDTH = width;
    FW::SCREEN_HEIGHT = height;
    ::testing::internal::CaptureStdout();
    DrawCallback().save_frame();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Write to capture/frame0.bmp\n");
    EXPECT_EQ(pixel_buffer.size(), rgb_frame_size(width, height));

    std::vector<unsigned char> expected;  // R, G, B, top row first
    for (int row = height - 1; row >= 0; --row)
        for (int column = 0; column < width; ++column)
            expected.insert(expected.end(), {static_cast<unsigned char>(row >= GL_TEST_HEIGHT / 2 ? 255 : 0), 0,
                                             static_cast<unsigned char>(row >= GL_TEST_HEIGHT / 2 ? 0 : 255)});
    ASSERT_EQ(decode_with_imagemagick("capture"), 0);
    EXPECT_EQ(read_bytes("capture/frame0.rgb"), expected);
}
