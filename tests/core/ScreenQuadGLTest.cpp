#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "FW/ScreenQuad.h"
#include "FW/Shader.h"
#include "GLTestContext.h"

namespace {

// Writes a white fragment for every pixel the quad covers.
const char* const white_vert = "#version 330 core\nlayout (location = 0) in vec3 p;\n"
                               "void main() { gl_Position = vec4(p, 1.0); }\n";
const char* const white_frag = "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n";

GLuint compile(GLenum type, const char* source) {
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
}

TEST(ScreenQuad, CreatedOnceWithTheQuadDataAndUnbindsItsArray) {
    EXPECT_EQ(FW::quadVAO, 0u);
    FW::RenderQuad();
    GLuint vao = FW::quadVAO, vbo = FW::quadVBO;
    EXPECT_NE(vao, 0u);
    EXPECT_TRUE(glIsBuffer(vbo));
    FW::RenderQuad();
    EXPECT_EQ(FW::quadVAO, vao);
    EXPECT_EQ(FW::quadVBO, vbo);
    GLint bound = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
    EXPECT_EQ(bound, 0);

    const float expected[] = {-1, 1, 0, 0, 1, -1, -1, 0, 0, 0, 1, 1, 0, 1, 1, 1, -1, 0, 1, 0};
    float stored[20] = {};
    GLint size = 0;
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(stored), stored);
    EXPECT_EQ(size, 80);
    EXPECT_EQ(std::memcmp(stored, expected, sizeof(stored)), 0);

    GLint stride = 0, offset_attr1 = 0;
    glBindVertexArray(vao);
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
    void* pointer = nullptr;
    glGetVertexAttribPointerv(1, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
    offset_attr1 = static_cast<GLint>(reinterpret_cast<intptr_t>(pointer));
    glBindVertexArray(0);
    EXPECT_EQ(stride, 20);
    EXPECT_EQ(offset_attr1, 12);
}

TEST(ScreenQuad, CoversTheWholeViewportWithBackFacesCulled) {
    GLuint program = glCreateProgram();
    glAttachShader(program, compile(GL_VERTEX_SHADER, white_vert));
    glAttachShader(program, compile(GL_FRAGMENT_SHADER, white_frag));
    glLinkProgram(program);
    glEnable(GL_CULL_FACE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(program);
    FW::RenderQuad();
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), program);

    std::vector<unsigned char> pixels(GL_TEST_WIDTH * GL_TEST_HEIGHT * 4);
    glReadPixels(0, 0, GL_TEST_WIDTH, GL_TEST_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    size_t white = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        white += pixels[i] == 255 && pixels[i + 1] == 255 && pixels[i + 2] == 255;
    EXPECT_EQ(white, static_cast<size_t>(GL_TEST_WIDTH * GL_TEST_HEIGHT));
    glDisable(GL_CULL_FACE);
}

}  // namespace
