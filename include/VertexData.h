#pragma once

#include <vector>

#include "FW/GL.h"

// Triangles of many objects (positions with one normal per vertex), uploaded
// once as static vertex data.
class VertexData {
public:
    // Where one object's vertices lie in the store.
    struct Handle {
        VertexData* data;
        int first;
        int count;
    };

    GLuint vertices_handle = 0;
    GLuint normals_handle = 0;
    GLuint VAO = 0;
    std::vector<float> vertices;
    std::vector<float> normals;

    Handle add_object(std::vector<float>& vertices, std::vector<float>& normals);
    void upload_to_GPU();
};

// Uploads two float vectors into two new buffers feeding attributes 0 and 1
// (3 floats each) of a new vertex array, which stays bound.
void upload_attribute_pair(GLuint& first_buffer, GLuint& second_buffer, GLuint& vao,
                           const std::vector<float>& first, const std::vector<float>& second,
                           GLenum usage);
