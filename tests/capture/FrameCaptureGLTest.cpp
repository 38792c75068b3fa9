#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BmpTestFiles.h"
#include "DrawCallback.h"
#include "FW/Window.h"
#include "GLTestContext.h"
#include "PixelBuffer.h"

namespace fs = std::filesystem;

// The lower-left width x height corner of a window red above its middle row and
// blue below, as R, G, B rows, top row first.
static std::vector<unsigned char> expected_image(int width, int height) {
    std::vector<unsigned char> rgb;
    for (int row = height - 1; row >= 0; --row)
        for (int column = 0; column < width; ++column)
            rgb.insert(rgb.end(), {static_cast<unsigned char>(row >= GL_TEST_HEIGHT / 2 ? 255 : 0), 0,
                                   static_cast<unsigned char>(row >= GL_TEST_HEIGHT / 2 ? 0 : 255)});
    return rgb;
}

TEST(FrameCapture, WritesUprightFilesWithTightRowsAndABufferThatFollowsTheFrame) {
    TempDir dir;
    const fs::path previous = fs::current_path();
    fs::create_directory(dir.path / "capture");
    fs::current_path(dir.path);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, GL_TEST_HEIGHT / 2, GL_TEST_WIDTH, GL_TEST_HEIGHT);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);

    // A frame larger than the buffer, then an odd size whose rows are not a multiple of 4 bytes.
    pixel_buffer.assign(rgb_frame_size(33, 35), 0);
    DrawCallback callback;
    const int sizes[2][2] = {{GL_TEST_WIDTH, GL_TEST_HEIGHT}, {33, 35}};
    for (int frame = 0; frame < 2; ++frame) {
        FW::SCREEN_WIDTH = sizes[frame][0];
        FW::SCREEN_HEIGHT = sizes[frame][1];
        ::testing::internal::CaptureStdout();
        callback.save_frame();
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Write to capture/frame" + std::to_string(frame) + ".bmp\n");
        EXPECT_EQ(pixel_buffer.size(), rgb_frame_size(sizes[frame][0], sizes[frame][1]));
    }
    ASSERT_EQ(decode_with_imagemagick("capture"), 0);
    EXPECT_EQ(read_bytes("capture/frame0.rgb"), expected_image(GL_TEST_WIDTH, GL_TEST_HEIGHT));
    EXPECT_EQ(read_bytes("capture/frame1.rgb"), expected_image(33, 35));

    fs::current_path(previous);
    FW::SCREEN_WIDTH = GL_TEST_WIDTH;
    FW::SCREEN_HEIGHT = GL_TEST_HEIGHT;
    glClearColor(0, 0, 0, 1);
}
