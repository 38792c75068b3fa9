#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "VertexData.h"

// Where the gems' random numbers come from: the C library's rand() (seeded by
// the scene), replaceable by tests that script the draws.
extern int (*random_source)();
// Uniform in [0, 1] from one random_source() draw.
float rand_float();
// Uniform on the unit sphere from two random_source() draws.
glm::vec3 get_random_unit_sphere_vector();

// A ten-sided cut stone as a flat-shaded 120-vertex mesh in its own frame,
// with the model matrix and random parameters it was made with.
class Gem {
public:
    float angle;
    std::vector<float> vertices;
    std::vector<float> normals;
    VertexData::Handle data_handle;
    glm::mat4 model;
    glm::vec3 position;
    glm::vec3 color;
    glm::vec3 axis;
    float spin;
    float spin_speed;
    bool enabled;

    explicit Gem(glm::mat4 model);
    void add_triangle(glm::vec3 a, glm::vec3 b, glm::vec3 c);
};
