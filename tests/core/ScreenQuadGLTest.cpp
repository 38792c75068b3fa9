#include <vector>

#include <gtest/gtest.h>

#include "FW/ScreenQuad.h"
#include "GLTestContext.h"

namespace {

// A program that paints every covered pixel white.
GLuint white_program() {
    const char* vert = "#version 330 core\nlayout (location = 0) in vec3 p;\n"
                       "void main() { gl_Position = vec4(p, 1.0); }\n";
    const char* frag = "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n";
    GLuint program = glCreateProgram();
    for (auto [type, source] : {std::pair{GL_VERTEX_SHADER, vert}, std::pair{GL_FRAGMENT_SHADER, frag}}) {
        GLuint s = glCreateShader(type);
        glShaderSource(s, 1, &source, nullptr);
        glCompileShader(s);
        glAttachShader(program, s);
    }
    glLinkProgram(program);
    return program;
}

TEST(ScreenQuad, CreatedOnceAndCoversTheViewportWithBackFacesCulled) {
    GLuint program = white_program();
    glUseProgram(program);
    glEnable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    FW::RenderQuad();
    GLuint vao = FW::quadVAO, vbo = FW::quadVBO;
    EXPECT_NE(vao, 0u);
    FW::RenderQuad();
    EXPECT_EQ(FW::quadVAO, vao);
    EXPECT_EQ(FW::quadVBO, vbo);
    GLint bound_vao = -1, bound_program = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound_vao);
    glGetIntegerv(GL_CURRENT_PROGRAM, &bound_program);
    EXPECT_EQ(bound_vao, 0);
    EXPECT_EQ(static_cast<GLuint>(bound_program), program);

    std::vector<unsigned char> pixels(GL_TEST_WIDTH * GL_TEST_HEIGHT * 4);
    glReadPixels(0, 0, GL_TEST_WIDTH, GL_TEST_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (size_t i = 0; i < pixels.size(); i += 4)
        ASSERT_EQ(pixels[i] + pixels[i + 1] + pixels[i + 2], 3 * 255) << "pixel " << i / 4;
    glDisable(GL_CULL_FACE);
}

}  // namespace
