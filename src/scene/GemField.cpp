// The gem field of explore mode: the stones' bounds and placements, culled
// on the CPU and drawn from the scene's vertex store in one multi-draw (a draw per run of stones
// in a browser without one).
#include "GemField.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <iostream>

#include <glm/gtc/matrix_transform.hpp>

#ifdef __EMSCRIPTEN__
#include "Page.h"
#endif

namespace {

// Texels per stone in the placements texture: position and angle, axis and
// spin speed (degrees per second), colour.
const int texels_per_stone = 3;

// Where a sphere lies against the view volume's planes.
enum class Side { outside, crossing, inside };

Side classify(const glm::vec4& sphere, const glm::vec4 (&planes)[6]) {
    Side side = Side::inside;
    for (const glm::vec4& plane : planes) {
        const float distance = plane.x * sphere.x + plane.y * sphere.y + plane.z * sphere.z + plane.w;
        if (distance < -sphere.w)
            return Side::outside;
        if (distance < sphere.w)
            side = Side::crossing;
    }
    return side;
}

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
    sort_into_cells();
    upload_placements(placements);
}

void GemField::upload_placements(std::vector<glm::vec4>& placements) {
    // Whole rows of placements_width texels, the last one padded; one row at least.
    const size_t rows = std::max<size_t>(1, (placements.size() + placements_width - 1) / placements_width);
    GLint max_size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
    if (rows > static_cast<size_t>(max_size)) {
        std::cout << "Too many stones for explore mode: " << placements.size() / texels_per_stone << " stones need "
                  << rows << " texture rows, more than the GPU's " << max_size << std::endl;
        exit(-1);
    }
    placements.resize(rows * placements_width, glm::vec4(0.0f));
    glGenTextures(1, &stones_texture);
    glBindTexture(GL_TEXTURE_2D, stones_texture);
    // Read texel by texel with texelFetch: no filtering, no mipmaps.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, placements_width, static_cast<GLsizei>(rows), 0, GL_RGBA, GL_FLOAT,
                 placements.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

void GemField::sort_into_cells() {
    glm::vec3 low(0.0f), high(0.0f);
    for (size_t i = 0; i < bounds.size(); ++i) {
        low = i ? glm::min(low, glm::vec3(bounds[i])) : glm::vec3(bounds[i]);
        high = i ? glm::max(high, glm::vec3(bounds[i])) : glm::vec3(bounds[i]);
    }
    const glm::vec3 cell_size = glm::max((high - low) / float(grid_cells), glm::vec3(1e-3f));
    auto cell_of = [&](const glm::vec4& sphere) {
        const glm::ivec3 c = glm::clamp(glm::ivec3((glm::vec3(sphere) - low) / cell_size), 0, grid_cells - 1);
        return (c.z * grid_cells + c.y) * grid_cells + c.x;
    };
    // A counting sort by cell, keeping the store's order within each cell.
    const int cells = grid_cells * grid_cells * grid_cells;
    cell_first.assign(cells + 1, 0);
    for (const glm::vec4& sphere : bounds)
        ++cell_first[cell_of(sphere) + 1];
    for (int c = 0; c < cells; ++c)
        cell_first[c + 1] += cell_first[c];
    std::vector<int> next(cell_first.begin(), cell_first.end() - 1);
    cell_stones.resize(bounds.size());
    for (size_t i = 0; i < bounds.size(); ++i)
        cell_stones[next[cell_of(bounds[i])]++] = static_cast<int>(i);
    // Each cell's sphere: around its box's centre, out to its farthest stone's edge.
    cell_bounds.assign(cells, glm::vec4(0.0f));
    for (int c = 0; c < cells; ++c) {
        const glm::ivec3 index(c % grid_cells, c / grid_cells % grid_cells, c / (grid_cells * grid_cells));
        const glm::vec3 centre = low + (glm::vec3(index) + 0.5f) * cell_size;
        float radius = 0.0f;
        for (int k = cell_first[c]; k < cell_first[c + 1]; ++k) {
            const glm::vec4& sphere = bounds[cell_stones[k]];
            radius = glm::max(radius, glm::length(glm::vec3(sphere) - centre) + sphere.w);
        }
        cell_bounds[c] = glm::vec4(centre, radius);
    }
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
    // A cell wholly inside takes all of its stones; one that crosses the
    // volume's edge tests each of them.
    for (size_t c = 0; c + 1 < cell_first.size(); ++c) {
        const Side cell = classify(cell_bounds[c], planes);
        if (cell == Side::outside)
            continue;
        for (int k = cell_first[c]; k < cell_first[c + 1]; ++k) {
            const int stone = cell_stones[k];
            if (cell == Side::crossing && classify(bounds[stone], planes) == Side::outside)
                continue;
            ++visible;
            const VertexData::Handle& handle = handles[stone];
            if (!firsts.empty() && firsts.back() + counts.back() == handle.first) {
                counts.back() += handle.count;
            } else {
                firsts.push_back(handle.first);
                counts.push_back(handle.count);
            }
        }
    }
}

void GemField::submit(int unit) const {
    if (firsts.empty())
        return;
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, stones_texture);
    glBindVertexArray(vertex_array);
#ifdef __EMSCRIPTEN__
    // A browser without WEBGL_multi_draw (Firefox) draws each run of stones on its own.
    if (!page_has_multi_draw()) {
        for (size_t run = 0; run < firsts.size(); ++run)
            glDrawArrays(GL_TRIANGLES, firsts[run], counts[run]);
        return;
    }
#endif
    glMultiDrawArrays(GL_TRIANGLES, firsts.data(), counts.data(), static_cast<GLsizei>(firsts.size()));
}

glm::mat4 field_projection(int width, int height) {
    const float aspect = height > 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f;
    return glm::perspective(glm::radians(GemField::fov_y_degrees), aspect, GemField::near_plane, GemField::far_plane);
}
