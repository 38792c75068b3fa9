#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>
#include <glm/gtc/matrix_transform.hpp>

#include "singletons/Scene.h"

namespace {

GLint buffer_parameter(GLuint buffer, GLenum name) {
    GLint value = -1;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, name, &value);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return value;
}

std::vector<float> buffer_floats(GLuint buffer) {
    GLint size = buffer_parameter(buffer, GL_BUFFER_SIZE);
    std::vector<float> floats(static_cast<size_t>(size) / sizeof(float));
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, size, floats.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return floats;
}

// Byte-for-byte equality of a buffer object with a CPU vector.
void expect_buffer_holds(GLuint buffer, const std::vector<float>& expected, GLenum usage) {
    ASSERT_TRUE(glIsBuffer(buffer));
    EXPECT_EQ(buffer_parameter(buffer, GL_BUFFER_USAGE), static_cast<GLint>(usage));
    std::vector<float> actual = buffer_floats(buffer);
    ASSERT_EQ(actual.size(), expected.size());
    if (!expected.empty()) {
        EXPECT_EQ(std::memcmp(actual.data(), expected.data(), expected.size() * sizeof(float)), 0);
    }
}

// Both attributes read three tightly packed floats from the start of their buffer.
void expect_layout(GLuint vao, GLuint attribute0, GLuint attribute1) {
    ASSERT_TRUE(glIsVertexArray(vao));
    glBindVertexArray(vao);
    const GLuint buffers[2] = {attribute0, attribute1};
    for (GLuint i = 0; i < 2; i++) {
        SCOPED_TRACE("attribute " + std::to_string(i));
        GLint enabled = 0, buffer = 0, size = 0, type = 0, normalized = 1, stride = -1;
        glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
        glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_TYPE, &type);
        glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, &normalized);
        glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
        void* offset = reinterpret_cast<void*>(1);
        glGetVertexAttribPointerv(i, GL_VERTEX_ATTRIB_ARRAY_POINTER, &offset);
        EXPECT_EQ(enabled, GL_TRUE);
        EXPECT_EQ(static_cast<GLuint>(buffer), buffers[i]);
        EXPECT_EQ(size, 3);
        EXPECT_EQ(type, GL_FLOAT);
        EXPECT_EQ(normalized, GL_FALSE);
        EXPECT_EQ(stride, 0);
        EXPECT_EQ(offset, nullptr);
    }
}

GLint bound_vertex_array() {
    GLint vao = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vao);
    return vao;
}

TEST(LinesGLDeathTest, TheSegmentPastCapacityAbortsBeforeWriting) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // the parent holds a GL context
    Lines lines;
    lines.nlines = lines.maxlines - 1;
    lines.add_line(1, 2, 3, 4, 5, 6);
    EXPECT_EQ(lines.nlines, lines.maxlines);
    EXPECT_EQ(lines.vertices.back(), 6.0f);
    // Under AddressSanitizer a write past the end would be reported instead.
    EXPECT_DEATH(lines.add_line(7, 8, 9, 10, 11, 12), "nlines <= maxlines");
}

TEST(VertexDataGL, EmptyUploadStillCreatesTheObjects) {
    VertexData store;
    store.upload_to_GPU();
    EXPECT_NE(store.VAO, 0u);
    EXPECT_EQ(bound_vertex_array(), static_cast<GLint>(store.VAO));
    expect_buffer_holds(store.vertices_handle, {}, GL_STATIC_DRAW);
    expect_buffer_holds(store.normals_handle, {}, GL_STATIC_DRAW);
    expect_layout(store.VAO, store.vertices_handle, store.normals_handle);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The two scene tests run in this order: construction, then the upload.
TEST(SceneGL, ConstructionSetsCameraLinesAndRunState) {
    Scene* scene = Scene::get();
    ASSERT_EQ(scene, Scene::get());
    EXPECT_EQ(scene->camera.view, glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -10)));
    EXPECT_EQ(glm::vec3(glm::inverse(scene->camera.view)[3]), glm::vec3(0, 0, 10));
    EXPECT_EQ(scene->camera_speed, 10.0f);
    EXPECT_EQ(scene->start_time.time_since_epoch().count(), 0);
    EXPECT_FALSE(scene->capture);
    EXPECT_EQ(scene->ngems, 0);
    EXPECT_TRUE(scene->gems.empty());
    EXPECT_TRUE(scene->vertex_data.vertices.empty());
    EXPECT_EQ(scene->vertex_data.VAO, 0u);

    Lines& lines = scene->lines;
    EXPECT_EQ(lines.maxlines, 100000);
    EXPECT_EQ(lines.nlines, 9);
    ASSERT_EQ(lines.vertices.size(), 600000u);
    ASSERT_EQ(lines.colors.size(), 600000u);
    const float ends[3][2] = {{-0.5f, 0.8660254f}, {-0.5f, -0.8660254f}, {1.0f, -2.4492937e-16f}};
    for (int s = 0; s < 9; s++) {
        SCOPED_TRACE("segment " + std::to_string(s));
        const float* v = &lines.vertices[6 * s];
        const float* c = &lines.colors[6 * s];
        EXPECT_EQ(std::vector<float>(v, v + 6), (std::vector<float>{0, 0, 0, ends[s % 3][0], ends[s % 3][1], 0}));
        EXPECT_EQ(std::vector<float>(c, c + 6), (std::vector<float>{1, 0, 0, 1, 0, 0}));
    }
    for (size_t i = 54; i < lines.vertices.size(); i++) {
        ASSERT_EQ(lines.vertices[i], 0.0f) << i;
        ASSERT_EQ(lines.colors[i], 0.0f) << i;
    }

    ASSERT_NE(lines.program.handle, 0u);
    GLint linked = 0;
    glGetProgramiv(lines.program.handle, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
    expect_buffer_holds(lines.vertices_handle, lines.vertices, GL_STREAM_DRAW);
    expect_buffer_holds(lines.colors_handle, lines.colors, GL_STREAM_DRAW);
    expect_layout(lines.VAO, lines.vertices_handle, lines.colors_handle);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(SceneGL, UploadBuildsGemsFromTheSeededDrawsInOrder) {
    const int GEMS = 3;
    std::vector<int> draws(9 * GEMS + 1);
    srand(1323);
    for (int& d : draws)
        d = rand();
    // Draws made before the upload do not change the scene: it seeds itself.
    srand(42);
    rand();

    Scene* scene = Scene::get();
    scene->ngems = GEMS;
    scene->upload_vertices();
    EXPECT_EQ(rand(), draws[9 * GEMS]) << "the upload made other than nine draws per gem";

    auto coordinate = [&](int draw) { return static_cast<float>(draws[draw]) * 4.656612873077393e-10f * 400.0f - 200.0f; };
    ASSERT_EQ(scene->gems.size(), static_cast<size_t>(GEMS));
    std::vector<float> meshes, normals;
    for (int i = 0; i < GEMS; i++) {
        SCOPED_TRACE("gem " + std::to_string(i));
        const Gem& gem = scene->gems[i];
        glm::vec3 expected(coordinate(9 * i + 2), coordinate(9 * i + 1), coordinate(9 * i));
        EXPECT_EQ(gem.position, expected);
        EXPECT_EQ(gem.model, glm::translate(glm::mat4(1.0f), expected));
        for (int axis = 0; axis < 3; axis++) {
            EXPECT_GE(gem.position[axis], -200.0f);
            EXPECT_LE(gem.position[axis], 200.0f);
        }
        // The gem's own draws follow its position: colour z is its fourth.
        EXPECT_EQ(gem.color.z, 1.0f - static_cast<float>(draws[9 * i + 6]) * 4.656612873077393e-10f / 10.0f);
        EXPECT_EQ(gem.data_handle.data, &scene->vertex_data);
        EXPECT_EQ(gem.data_handle.first, 120 * i);
        EXPECT_EQ(gem.data_handle.count, 120);
        meshes.insert(meshes.end(), gem.vertices.begin(), gem.vertices.end());
        normals.insert(normals.end(), gem.normals.begin(), gem.normals.end());
    }

    VertexData& data = scene->vertex_data;
    EXPECT_EQ(data.vertices, meshes);
    EXPECT_EQ(data.normals, normals);
    EXPECT_EQ(bound_vertex_array(), static_cast<GLint>(data.VAO));
    EXPECT_EQ(buffer_parameter(data.vertices_handle, GL_BUFFER_SIZE), 120 * GEMS * 3 * 4);
    expect_buffer_holds(data.vertices_handle, meshes, GL_STATIC_DRAW);
    expect_buffer_holds(data.normals_handle, normals, GL_STATIC_DRAW);
    expect_layout(data.VAO, data.vertices_handle, data.normals_handle);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
