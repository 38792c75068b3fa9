// The procedural gem: its per-stone random cut and its faceted 120-vertex mesh.
#include "Gem.h"

#include <cmath>
#include <cstdlib>

namespace {

const double PI = 3.141592653589793;
const int FACETS = 10;
const double ANGULAR_STEP = 0.6283185307179586;  // 2*pi / FACETS
const float CROWN_SCALE = 0.8f;
const float CROWN_HEIGHT = 0.2f;  // before scaling: the ring sits at 0.8 * 0.2
const glm::vec3 CULET(0.0f, -1.0f, 0.0f);
const glm::vec3 TABLE_CENTRE(0.0f, CROWN_HEIGHT, 0.0f);

}  // namespace

int (*random_source)() = std::rand;

float rand_float() {
    return static_cast<float>(random_source()) * 4.656612873077393e-10f;  // 2^-31
}

glm::vec3 get_random_unit_sphere_vector() {
    float u1 = rand_float();
    float theta = static_cast<float>(2.0f * u1 * PI);
    float sin_theta, cos_theta;
    sincosf(theta, &sin_theta, &cos_theta);
    float u2 = rand_float();
    float z = static_cast<float>((u2 - 0.5) * 2);
    float r = std::sqrt(1.0f - z * z);
    return glm::vec3(r * cos_theta, r * sin_theta, z);
}

Gem::Gem(glm::mat4 model)
    : data_handle{}, model(model), position(model[3].x, model[3].y, model[3].z), enabled(true) {
    axis = get_random_unit_sphere_vector();
    spin_speed = 60.0f;
    spin = 0.0f;
    angle = static_cast<float>(rand_float() * 6.283185307179586);
    float u4 = rand_float();
    float u5 = rand_float();
    float u6 = rand_float();
    color = glm::vec3(1.0f - u6 / 10.0f, 1.0f - u5 / 10.0f, 1.0f - u4 / 10.0f);

    // Girdle ring A at y = 0 and the smaller crown ring B above it.
    std::vector<glm::vec3> girdle;
    std::vector<glm::vec3> crown;
    for (int i = 0; i < FACETS; i++) {
        double alpha = i * ANGULAR_STEP;
        float c = static_cast<float>(std::cos(alpha));
        float s = static_cast<float>(std::sin(alpha));
        girdle.push_back(glm::vec3(c, 0.0f, s));
        crown.push_back(CROWN_SCALE * glm::vec3(c, CROWN_HEIGHT, s));
    }

    // Per segment: pavilion, the crown facet as two triangles, the table.
    // All are counter-clockwise seen from outside.
    for (int j = 0; j < FACETS; j++) {
        int k = (j + 1) % FACETS;
        add_triangle(CULET, girdle[j], girdle[k]);
        add_triangle(girdle[k], girdle[j], crown[j]);
        add_triangle(crown[j], crown[k], girdle[k]);
        add_triangle(crown[k], crown[j], TABLE_CENTRE);
    }
}

void Gem::add_triangle(glm::vec3 a, glm::vec3 b, glm::vec3 c) {
    for (const glm::vec3& p : {a, b, c}) {
        vertices.push_back(p.x);
        vertices.push_back(p.y);
        vertices.push_back(p.z);
    }
    glm::vec3 n = glm::normalize(glm::cross(b - a, c - a));
    for (int i = 0; i < 3; i++) {
        normals.push_back(n.x);
        normals.push_back(n.y);
        normals.push_back(n.z);
    }
}
