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

// Static data: positions at attribute 0, normals at attribute 1, each in its
// own tightly packed buffer. The vertex array stays bound.
void VertexData::upload_to_GPU() {
    glGenBuffers(1, &vertices_handle);
    glGenBuffers(1, &normals_handle);
    glGenVertexArrays(1, &VAO);
    glBindVertexArray(VAO);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);

    glBindBuffer(GL_ARRAY_BUFFER, vertices_handle);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(),
                 GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);

    glBindBuffer(GL_ARRAY_BUFFER, normals_handle);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(normals.size() * sizeof(float)), normals.data(),
                 GL_STATIC_DRAW);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 0, nullptr);

    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
