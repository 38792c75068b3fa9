#include <cstdlib>

#include <gtest/gtest.h>

#include "singletons/Scene.h"

namespace {

// The floats a buffer object holds.
std::vector<float> buffer_floats(GLuint buffer) {
    GLint size = 0;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    std::vector<float> floats(size / sizeof(float));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, size, floats.data());
    return floats;
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
    auto coordinate = [&](int draw) { return draws[draw] * 4.656612873077393e-10f * 400.0f - 200.0f; };
    ASSERT_EQ(scene->gems.size(), static_cast<size_t>(GEMS));
    for (int i = 0; i < GEMS; i++)
        EXPECT_EQ(scene->gems[i].position, glm::vec3(coordinate(9 * i + 2), coordinate(9 * i + 1), coordinate(9 * i))) << i;
    ASSERT_EQ(scene->vertex_data.vertices.size(), 3u * 120 * GEMS);
    EXPECT_EQ(buffer_floats(scene->vertex_data.vertices_handle), scene->vertex_data.vertices);
    EXPECT_EQ(buffer_floats(scene->vertex_data.normals_handle), scene->vertex_data.normals);
}

}  // namespace
