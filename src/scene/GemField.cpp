// The gem field of explore mode: the stones' bounds and placements, culled
// on the CPU and drawn from the scene's vertex store in one multi-draw.
#include "GemField.h"

#include <cassert>

#include <glm/gtc/matrix_transform.hpp>

namespace {

// Texels per stone in the buffer texture: position and angle, axis and spin
// speed (degrees per second), colour.
const int texels_per_stone = 3;

}  // namespace

void GemField::init(const std::vector<Gem>& gems) {
    std::vector<glm::vec4> placements;
    for (size_t i = 0; i < gems.size(); ++i) {
        const Gem& gem = gems[i];
        float radius = 0.0f;
        for (size_t v = 0; v + 2 < gem.vertices.size(); v += 3)
            radius = glm::max(radius, glm::length(glm::vec3(gem.vertices[v], gem.vertices[v + 1], gem.vertices[v + 2])));
        bounds.push_back(glm::vec4(gem.position, radius));
        handles.push_back(gem.data_handle);
        stone_vertices = gem.data_handle.count;
        assert(gem.data_handle.first == static_cast<int>(i) * stone_vertices);
        vertex_array = gem.data_handle.data->VAO;
        placements.push_back(glm::vec4(gem.position, gem.angle));
        placements.push_back(glm::vec4(gem.axis, gem.spin_speed));
        placements.push_back(glm::vec4(gem.color, 0.0f));
    }
    assert(placements.size() == gems.size() * texels_per_stone);
    glGenBuffers(1, &stones_buffer);
    glBindBuffer(GL_TEXTURE_BUFFER, stones_buffer);
    glBufferData(GL_TEXTURE_BUFFER, static_cast<GLsizeiptr>(placements.size() * sizeof(glm::vec4)),
                 placements.data(), GL_STATIC_DRAW);
    glGenTextures(1, &stones_texture);
    glBindTexture(GL_TEXTURE_BUFFER, stones_texture);
    glTexBuffer(GL_TEXTURE_BUFFER, GL_RGBA32F, stones_buffer);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

void GemField::cull(const glm::mat4& view_projection) {
    // The six planes of the view volume (left, right, bottom, top, near,
    // far) from the rows of the matrix, scaled to unit normals so that a
    // sphere's signed distance compares with its radius.
    const glm::mat4 m = glm::transpose(view_projection);
    glm::vec4 planes[6] = {m[3] + m[0], m[3] - m[0], m[3] + m[1], m[3] - m[1], m[3] + m[2], m[3] - m[2]};
    for (glm::vec4& plane : planes)
        plane /= glm::length(glm::vec3(plane));

    firsts.clear();
    counts.clear();
    visible = 0;
    for (size_t i = 0; i < bounds.size(); ++i) {
        const glm::vec4& sphere = bounds[i];
        bool inside = true;
        for (const glm::vec4& plane : planes) {
            if (plane.x * sphere.x + plane.y * sphere.y + plane.z * sphere.z + plane.w < -sphere.w) {
                inside = false;
                break;
            }
        }
        if (!inside)
            continue;
        ++visible;
        const VertexData::Handle& handle = handles[i];
        if (!firsts.empty() && firsts.back() + counts.back() == handle.first) {
            counts.back() += handle.count;
        } else {
            firsts.push_back(handle.first);
            counts.push_back(handle.count);
        }
    }
}

void GemField::submit(int unit) const {
    if (firsts.empty())
        return;
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_BUFFER, stones_texture);
    glBindVertexArray(vertex_array);
    glMultiDrawArrays(GL_TRIANGLES, firsts.data(), counts.data(), static_cast<GLsizei>(firsts.size()));
}

glm::mat4 field_projection(int width, int height) {
    const float aspect = height > 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f;
    return glm::perspective(glm::radians(GemField::fov_y_degrees), aspect, GemField::near_plane, GemField::far_plane);
}
