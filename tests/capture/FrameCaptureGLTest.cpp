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

namespace {

// The window shows red above the middle row, green below it on the left and
// blue below it on the right, so that orientation and channel order show.
const int split_row = GL_TEST_HEIGHT / 2;
const int split_column = 32;

void fill_rect(int x, int y, int width, int height, float r, float g, float b) {
    glScissor(x, y, width, height);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void draw_pattern() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glEnable(GL_SCISSOR_TEST);
    fill_rect(0, split_row, GL_TEST_WIDTH, GL_TEST_HEIGHT - split_row, 1, 0, 0);
    fill_rect(0, 0, split_column, split_row, 0, 1, 0);
    fill_rect(split_column, 0, GL_TEST_WIDTH - split_column, split_row, 0, 0, 1);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
}

// The pattern's lower-left width x height corner as R, G, B rows, top row first.
std::vector<unsigned char> expected_image(int width, int height) {
    std::vector<unsigned char> rgb;
    for (int row = height - 1; row >= 0; --row)
        for (int column = 0; column < width; ++column) {
            bool red = row >= split_row, green = !red && column < split_column;
            rgb.insert(rgb.end(), {static_cast<unsigned char>(red ? 255 : 0),
                                   static_cast<unsigned char>(green ? 255 : 0),
                                   static_cast<unsigned char>(red || green ? 0 : 255)});
        }
    return rgb;
}

class FrameCapture : public ::testing::Test {
protected:
    TempDir dir;
    fs::path previous_directory = fs::current_path();

    void SetUp() override {
        fs::create_directory(dir.path / "capture");
        fs::current_path(dir.path);
        draw_pattern();
    }
    void TearDown() override {
        fs::current_path(previous_directory);
        FW::SCREEN_WIDTH = GL_TEST_WIDTH;
        FW::SCREEN_HEIGHT = GL_TEST_HEIGHT;
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
    }

    std::string capture(DrawCallback& callback) {
        ::testing::internal::CaptureStdout();
        callback.save_frame();
        return ::testing::internal::GetCapturedStdout();
    }
};

}  // namespace

TEST_F(FrameCapture, WritesTheWindowUprightAsTheFirstNumberedFile) {
    pixel_buffer.clear();
    DrawCallback callback;
    EXPECT_EQ(capture(callback), "Write to capture/frame0.bmp\n");
    EXPECT_EQ(callback.frame_number, 1);

    std::vector<unsigned char> file = read_bytes("capture/frame0.bmp");
    ASSERT_EQ(file.size(), 54u + GL_TEST_WIDTH * 3 * GL_TEST_HEIGHT);
    EXPECT_EQ(field32(file, 18), static_cast<uint32_t>(GL_TEST_WIDTH));
    EXPECT_EQ(field32(file, 22), static_cast<uint32_t>(GL_TEST_HEIGHT));
    ASSERT_EQ(decode_with_imagemagick("capture"), 0);
    EXPECT_EQ(read_bytes("capture/frame0.rgb"), expected_image(GL_TEST_WIDTH, GL_TEST_HEIGHT));
}

TEST_F(FrameCapture, OddWidthsReadTightRowsAndTheBufferFollowsTheFrameSize) {
    // The start-up size, then a smaller frame whose rows are not a multiple of
    // 4 bytes, read with the pack alignment left at its default.
    pixel_buffer.assign(rgb_frame_size(GL_TEST_WIDTH, GL_TEST_HEIGHT), 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    FW::SCREEN_WIDTH = 33;
    FW::SCREEN_HEIGHT = 35;
    DrawCallback callback;
    capture(callback);
    EXPECT_EQ(pixel_buffer.size(), rgb_frame_size(33, 35));

    std::vector<unsigned char> file = read_bytes("capture/frame0.bmp");
    EXPECT_EQ(field32(file, 18), 33u);
    EXPECT_EQ(field32(file, 22), 35u);
    ASSERT_EQ(decode_with_imagemagick("capture"), 0);
    EXPECT_EQ(read_bytes("capture/frame0.rgb"), expected_image(33, 35));

    // Growing back: the buffer grows with the frame.
    FW::SCREEN_WIDTH = GL_TEST_WIDTH;
    FW::SCREEN_HEIGHT = GL_TEST_HEIGHT;
    capture(callback);
    EXPECT_EQ(pixel_buffer.size(), rgb_frame_size(GL_TEST_WIDTH, GL_TEST_HEIGHT));
    EXPECT_EQ(field32(read_bytes("capture/frame1.bmp"), 18), static_cast<uint32_t>(GL_TEST_WIDTH));
}

TEST_F(FrameCapture, NumbersAreNotPaddedAndAnOldFileIsOverwritten) {
    const std::vector<unsigned char> stale(300000, 0xab);
    write_bytes("capture/frame10.bmp", stale.data(), stale.size());
    DrawCallback callback;
    callback.frame_number = 9;
    EXPECT_EQ(capture(callback), "Write to capture/frame9.bmp\n");
    EXPECT_EQ(capture(callback), "Write to capture/frame10.bmp\n");
    EXPECT_EQ(callback.frame_number, 11);
    EXPECT_EQ(read_bytes("capture/frame10.bmp"), read_bytes("capture/frame9.bmp"));
}
