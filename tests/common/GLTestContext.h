#pragma once

// Width and height of the window that GL tests draw into.
constexpr int GL_TEST_WIDTH = 64;
constexpr int GL_TEST_HEIGHT = 36;
