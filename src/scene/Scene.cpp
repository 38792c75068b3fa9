// The scene singleton: run state, camera, and the gems' and lines' upload to the GPU.
#include "singletons/Scene.h"

#include <cstdlib>

#include <glm/gtc/matrix_transform.hpp>

namespace {
const unsigned SEED = 1323;
const float FIELD_HALF_SIZE = 200.0f;  // gem positions lie in [-200, 200]^3
}

Scene* Scene::get() {
    static Scene scene;
    return &scene;
}

// ngems is left alone: static storage has zeroed it, and the entry point sets it.
Scene::Scene() : start_time(), camera_speed(10.0f), capture(false) {
    // Eye at (0, 0, 10) with the world axes as its right, up and backward axes.
    glm::mat4 camera_to_world(1.0f);
    camera_to_world[3] = glm::vec4(0.0f, 0.0f, 10.0f, 1.0f);
    camera.view = glm::inverse(camera_to_world);
}

// Nine rand() draws per gem after seeding: its position z, y, x, then the six
// of the gem itself.
void Scene::upload_vertices() {
    srand(SEED);
    for (int i = 0; i < ngems; i++) {
        float z = rand_float() * (2.0f * FIELD_HALF_SIZE) - FIELD_HALF_SIZE;
        float y = rand_float() * (2.0f * FIELD_HALF_SIZE) - FIELD_HALF_SIZE;
        float x = rand_float() * (2.0f * FIELD_HALF_SIZE) - FIELD_HALF_SIZE;
        glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z));
        gems.push_back(Gem(model));
        Gem& gem = gems.back();
        gem.data_handle = vertex_data.add_object(gem.vertices, gem.normals);
    }
    vertex_data.upload_to_GPU();
}
