// The static vertex store: triangle data collected per object and uploaded once.
// Its bounds check stays on even when a packager's flags define NDEBUG.
#undef NDEBUG
#include "VertexData.h"

#include <cassert>

VertexData::Handle VertexData::add_object(std::vector<float>& vertices, std::vector<float>& normals) {
    assert(vertices.size() == normals.size());
    Handle handle{this, static_cast<int>(this->vertices.size() / 3), static_cast<int>(vertices.size() / 3)};
    for (float v : vertices)
        this->vertices.push_back(v);
    for (float n : normals)
        this->normals.push_back(n);
    return handle;
}

// Attributes 0 and 1, each from its own tightly packed float buffer; the
// vertex array stays bound.
void upload_attribute_pair(GLuint& first_buffer, GLuint& second_buffer, GLuint& vao,
                           const std::vector<float>& first, const std::vector<float>& second,
                           GLenum usage) {
    glGenBuffers(1, &first_buffer);
    glGenBuffers(1, &second_buffer);
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);

    glBindBuffer(GL_ARRAY_BUFFER, first_buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(first.size() * sizeof(float)), first.data(), usage);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);

    glBindBuffer(GL_ARRAY_BUFFER, second_buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(second.size() * sizeof(float)), second.data(), usage);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 0, nullptr);

    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// Static data: positions at attribute 0, normals at attribute 1.
void VertexData::upload_to_GPU() {
    upload_attribute_pair(vertices_handle, normals_handle, VAO, vertices, normals, GL_STATIC_DRAW);
}
