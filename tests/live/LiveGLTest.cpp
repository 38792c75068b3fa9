// Live mode in a real context: the shader watch over two files of its own, and the texts over the picture.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include "LiveOverlay.h"
#include "ShaderWatch.h"
#include "singletons/FontEngine.h"

namespace {

const std::string FRAGMENT = "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n";

// A program loaded from two files and watched as live mode watches its own; a poll a second.
struct Watched {
    const std::string vert = testing::TempDir() + "live-gl-" + std::to_string(getpid()), frag = vert + ".frag";
    FW::ShaderProgram program;
    ShaderWatch watch;
    double now = 0.0;
    Watched() {
        std::ofstream(vert) << "#version 330 core\nvoid main() { gl_Position = vec4(0.0); }\n";
        std::ofstream(frag) << FRAGMENT;
        watch.watch([this]() -> FW::ShaderProgram& { return program; }, vert, frag, nullptr);
        program.load(vert, frag);
    }
    std::vector<std::string> poll(const std::string& text = "") {
        if (!text.empty())
            unlink(frag.c_str()), std::ofstream(frag) << text;
        return watch.poll(now += 1.0), watch.error_lines;
    }
};

// A save caught half-way fails once, silently; the same bytes failing again show; a success swaps at
// once. A pipe, a link to a device and a directory are named at once, never read; the program stays.
TEST(ShaderWatch, ErrorsShowForTheSameBytesTwiceAndForFilesThatAreNotRead) {
    Watched w;
    const GLuint first = w.program.handle;
    EXPECT_TRUE(w.poll("#version 330 core\n{").empty());
    EXPECT_TRUE(w.poll(FRAGMENT + "//\n").empty());
    const GLuint second = w.program.handle;
    EXPECT_NE(second, first);
    EXPECT_TRUE(w.poll("#version 330 core\n{").empty());
    EXPECT_EQ(w.poll().at(0), "Shader compile error in " + w.frag + " (the last working program stays):");
    for (int kind = 0; kind < 3; ++kind) {
        unlink(w.frag.c_str());
        const char* path = w.frag.c_str();
        ASSERT_EQ(kind == 0 ? mkfifo(path, 0600) : kind == 1 ? symlink("/dev/zero", path) : mkdir(path, 0700), 0);
        EXPECT_EQ(w.poll(), std::vector<std::string>{"Cannot read " + w.frag +
                                                     ": not a regular file of at most 4 MiB (the last working program stays)"});
        EXPECT_EQ(w.program.handle, second);
        rmdir(w.frag.c_str());
    }
    EXPECT_TRUE(w.poll(FRAGMENT).empty());
}

// Load and reloads release their shaders, a reload deletes the program it replaces, the destructor the last.
TEST(ShaderWatch, ReplacedProgramsAndTheirShadersAreDeleted) {
    std::set<GLuint> programs, shaders;
    {
        Watched w;
        for (int i = 0; i <= 20; ++i) {
            GLuint attached[2] = {};
            glGetAttachedShaders(w.program.handle, 2, nullptr, attached);
            programs.insert(w.program.handle), shaders.insert(attached, attached + 2);
            if (i < 20)
                w.poll(FRAGMENT + "// version " + std::to_string(i) + "\n");
        }
        glUseProgram(0);  // a program in use outlives its deletion
    }
    for (GLuint object : programs)
        EXPECT_FALSE(glIsProgram(object)) << object;
    for (GLuint object : shaders)
        EXPECT_FALSE(glIsShader(object)) << object;
}

// In a 256-pixel square: the paused status line in white, then 8 of 12 error lines in red cut to the width.
TEST(LiveOverlay, StatusLineThenEightErrorLinesCutToTheWidth) {
    const int size = 256, width = 120;
    GLuint texture, framebuffer;
    glGenTextures(1, &texture), glGenFramebuffers(1, &framebuffer);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glViewport(0, 0, size, size);
    FontEngine::get().init(size, size);
    draw_live_overlay(true, 12.5f, std::vector<std::string>(12, "error: a line longer than the width"), width, size);
    std::vector<unsigned char> pixels(4 * size * size);
    glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    std::string rows;  // from the top: 'r' with red text, 'w' with white text only, '.' with neither
    int right_end = 0;
    for (int y = size - 1; y >= 0; --y) {
        rows += '.';
        for (int x = 0; x < size; ++x) {
            const unsigned char* p = &pixels[4 * (y * size + x)];
            if (p[0] > 150 && p[1] < 100)
                rows.back() = 'r', right_end = std::max(right_end, x + 1);
            else if (std::min({p[0], p[1], p[2]}) > 150 && rows.back() == '.')
                rows.back() = 'w';
        }
    }
    std::string runs = rows;  // one character per run of equal rows: ".w.w.r.r..." expected
    runs.erase(std::unique(runs.begin(), runs.end()), runs.end());
    const size_t white_end = runs.rfind('w') + 1;
    EXPECT_EQ(runs.substr(0, 2), ".w") << rows;
    EXPECT_EQ(runs.substr(0, white_end).find('r'), std::string::npos) << rows;
    EXPECT_EQ(runs.substr(white_end), ".r.r.r.r.r.r.r.r.") << rows;
    EXPECT_LE(right_end, width);
}

}  // namespace
