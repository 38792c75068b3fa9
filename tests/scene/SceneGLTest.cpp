#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "singletons/Scene.h"

namespace {

// Byte-for-byte equality of a static buffer object with a CPU vector.
void expect_buffer_holds(GLuint buffer, const std::vector<float>& expected) {
    ASSERT_TRUE(glIsBuffer(buffer));
    GLint size = -1, usage = 0;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_USAGE, &usage);
    EXPECT_EQ(usage, GL_STATIC_DRAW);
    ASSERT_EQ(size, static_cast<GLint>(expected.size() * sizeof(float)));
    std::vector<float> actual(expected.size());
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, size, actual.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (size > 0) {
        EXPECT_EQ(std::memcmp(actual.data(), expected.data(), size), 0);
    }
}

TEST(LinesGLDeathTest, TheSegmentPastCapacityAbortsBeforeWriting) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // the parent holds a GL context
    Lines lines;
    lines.nlines = lines.maxlines - 1;
    lines.add_line(1, 2, 3, 4, 5, 6);
    EXPECT_EQ(lines.vertices.back(), 6.0f);
    EXPECT_DEATH(lines.add_line(7, 8, 9, 10, 11, 12), "nlines <= maxlines");
}

TEST(VertexDataGL, EmptyUploadStillCreatesTheArrayAndTwoEmptyBuffers) {
    VertexData store;
    store.upload_to_GPU();
    EXPECT_TRUE(glIsVertexArray(store.VAO));
    expect_buffer_holds(store.vertices_handle, {});
    expect_buffer_holds(store.normals_handle, {});
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(SceneGL, UploadTakesNineDrawsPerGemPositionFromZYXAndFillsTheBuffers) {
    const int GEMS = 3;
    std::vector<int> draws(9 * GEMS + 1);
    srand(1323);
    for (int& d : draws)
        d = rand();
    srand(42);  // the upload seeds the generator itself

    Scene* scene = Scene::get();
    scene->ngems = GEMS;
    scene->upload_vertices();
    EXPECT_EQ(rand(), draws[9 * GEMS]) << "the upload made other than nine draws per gem";

    auto coordinate = [&](int draw) { return static_cast<float>(draws[draw]) * 4.656612873077393e-10f * 400.0f - 200.0f; };
    ASSERT_EQ(scene->gems.size(), static_cast<size_t>(GEMS));
    for (int i = 0; i < GEMS; i++)
        EXPECT_EQ(scene->gems[i].position, glm::vec3(coordinate(9 * i + 2), coordinate(9 * i + 1), coordinate(9 * i))) << i;
    ASSERT_EQ(scene->vertex_data.vertices.size(), 3u * 120 * GEMS);
    expect_buffer_holds(scene->vertex_data.vertices_handle, scene->vertex_data.vertices);
    expect_buffer_holds(scene->vertex_data.normals_handle, scene->vertex_data.normals);
}

}  // namespace
