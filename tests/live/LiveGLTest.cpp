// Live mode in a real context: the shader watch over two files of its own, and the texts over the picture.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GLTestContext.h"
#include "LiveOverlay.h"
#include "ShaderWatch.h"
#include "singletons/FontEngine.h"

namespace {

const std::string VERTEX = "#version 330 core\nlayout (location = 0) in vec3 p;\nvoid main() { gl_Position = vec4(p, 1.0); }\n";
const std::string FRAGMENT = "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n";
const std::string BROKEN = "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(";

// A program loaded from two files and watched the way live mode watches its own; each poll is a
// full interval after the last.
struct Watched {
    const std::string folder = testing::TempDir() + "live-gl-" + std::to_string(getpid());
    std::string paths[2] = {folder + ".vert", folder + ".frag"};
    FW::ShaderProgram program;
    ShaderWatch watch;
    double now = 0.0;

    Watched() {
        write(0, VERTEX);
        write(1, FRAGMENT);
        watch.watch([this]() -> FW::ShaderProgram& { return program; }, paths[0], paths[1], nullptr);
        program.load(paths[0], paths[1]);
    }
    void write(int i, const std::string& text) {
        unlink(paths[i].c_str());
        std::ofstream(paths[i], std::ios::binary) << text;
    }
    void poll() { watch.poll(now += 1.0); }
};

TEST(ShaderWatch, ACompileErrorShowsOnlyWhenTheSameBytesFailOnTwoPollsInARow) {
    Watched w;
    const GLuint first = w.program.handle;
    w.write(1, BROKEN);  // a save caught half-way
    w.poll();
    EXPECT_TRUE(w.watch.error_lines.empty());
    w.write(1, FRAGMENT + "// saved\n");
    w.poll();
    EXPECT_TRUE(w.watch.error_lines.empty());
    EXPECT_NE(w.program.handle, first);
    const GLuint second = w.program.handle;
    w.write(1, BROKEN);
    w.poll();
    EXPECT_TRUE(w.watch.error_lines.empty());
    w.poll();
    ASSERT_FALSE(w.watch.error_lines.empty());
    EXPECT_EQ(w.watch.error_lines[0], "Shader compile error in " + w.paths[1] + " (the last working program stays):");
    EXPECT_EQ(w.program.handle, second);
}

// A pipe, a link to a device and a directory are named at once and never read; the program stays,
// and the file readable again is built even with the bytes it had.
TEST(ShaderWatch, AFileThatIsNoRegularFileIsNamedAndTheProgramStays) {
    Watched w;
    const GLuint first = w.program.handle;
    const std::string error = "Cannot read " + w.paths[1] + ": not a regular file of at most 4 MiB (the last working program stays)";
    for (auto make : {+[](const char* path) { return mkfifo(path, 0600); },
                      +[](const char* path) { return symlink("/dev/zero", path); },
                      +[](const char* path) { return mkdir(path, 0700); }}) {
        unlink(w.paths[1].c_str());
        ASSERT_EQ(make(w.paths[1].c_str()), 0);
        w.poll();
        EXPECT_EQ(w.watch.error_lines, std::vector<std::string>{error});
        EXPECT_EQ(w.program.handle, first);
        rmdir(w.paths[1].c_str());
    }
    w.write(1, FRAGMENT);
    w.poll();
    EXPECT_TRUE(w.watch.error_lines.empty());
    EXPECT_NE(w.program.handle, first);
}

// After many reloads only the last program and its two shaders exist: the replaced programs and
// their shaders are deleted (a reused name belongs to the live ones).
TEST(ShaderWatch, ReplacedProgramsAndTheirShadersAreDeleted) {
    Watched w;
    std::set<GLuint> programs, shaders;
    for (int i = 0; i < 20; ++i) {
        GLuint attached[2];
        glGetAttachedShaders(w.program.handle, 2, nullptr, attached);
        programs.insert(w.program.handle);
        shaders.insert(attached, attached + 2);
        w.write(1, FRAGMENT + "// version " + std::to_string(i) + "\n");
        w.poll();
    }
    GLuint live[2];
    glGetAttachedShaders(w.program.handle, 2, nullptr, live);
    for (GLuint program : programs)
        EXPECT_EQ(glIsProgram(program), program == w.program.handle) << program;
    for (GLuint shader : shaders)
        EXPECT_EQ(glIsShader(shader), shader == live[0] || shader == live[1]) << shader;
}

// The texts in a 256x256 target: the paused status line in white at the top, then no more than
// 8 red error lines, each cut to the width it is given.
TEST(LiveOverlay, StatusLineThenEightErrorLinesCutToTheWidth) {
    const int size = 256, width = 120;
    GLuint texture, framebuffer;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glViewport(0, 0, size, size);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    FontEngine::get().init(size, size);
    draw_live_overlay(true, 12.5f, std::vector<std::string>(12, "error: a line longer than the width given"), width, size);
    std::vector<unsigned char> pixels(4 * size * size);
    glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int red_lines = 0, rightmost_red = 0, first_red_row = -1, last_white_row = -1;
    bool red_row_above = false;
    for (int row = 0; row < size; ++row) {  // from the top
        bool red = false;
        for (int x = 0; x < size; ++x) {
            const unsigned char* p = &pixels[4 * ((size - 1 - row) * size + x)];
            if (p[0] > 150 && p[1] < 100)
                red = true, rightmost_red = std::max(rightmost_red, x);
            if (std::min({p[0], p[1], p[2]}) > 150)
                last_white_row = row;
        }
        red_lines += red && !red_row_above;
        red_row_above = red;
        if (red && first_red_row < 0)
            first_red_row = row;
    }
    EXPECT_EQ(red_lines, 8);
    EXPECT_LT(rightmost_red, width);
    EXPECT_GE(last_white_row, 10);
    EXPECT_LT(last_white_row, first_red_row);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace
