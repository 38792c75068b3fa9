#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "FW/GL.h"
#include "Gem.h"
#include "VertexData.h"

// The scene's gems as a field of stones seen through a camera (explore mode).
// Per stone it keeps a bounding sphere, for culling on the CPU, and its
// placement, spin and tint in a 2D float texture that the stone shader reads
// by stone index. The meshes are drawn straight from the scene's vertex store.
class GemField {
public:
    // The field's perspective: vertical field of view, near and far planes.
    static constexpr float fov_y_degrees = 45.0f;
    static constexpr float near_plane = 0.1f;
    static constexpr float far_plane = 1000.0f;

    // Centre and radius of each stone's bounding sphere.
    std::vector<glm::vec4> bounds;
    // The stones sorted into a grid of cells over the field, so that a cell
    // outside the view skips all of its stones at once: the stone indices
    // cell by cell, where each cell's run starts (one more entry at the
    // end), and a sphere around each cell's stones.
    std::vector<int> cell_stones;
    std::vector<int> cell_first;
    std::vector<glm::vec4> cell_bounds;
    // Where each stone's vertices lie in the store; stone i starts at vertex
    // i * stone_vertices, which is how the shader finds its stone.
    std::vector<VertexData::Handle> handles;
    int stone_vertices = 0;
    GLuint vertex_array = 0;
    // The placements, three RGBA32F texels per stone, row after row of
    // placements_width texels: GL's smallest allowed texture side, 1024
    // rows, holds 349 525 stones, and a usual 16384 rows over five million.
    static constexpr int placements_width = 1024;
    GLuint stones_texture = 0;
    // The last cull's visible ranges (adjacent stones merged) and its count of stones.
    std::vector<GLint> firsts;
    std::vector<GLsizei> counts;
    int visible = 0;
    // Cells per side of the grid.
    static constexpr int grid_cells = 16;

    // Takes the gems after their vertex store is uploaded.
    void init(const std::vector<Gem>& gems);
    // Keeps the stones whose bounding spheres meet the view volume.
    void cull(const glm::mat4& view_projection);
    // Draws the visible ranges with the bound program; the stones'
    // placements texture goes on texture unit `unit`.
    void submit(int unit) const;

private:
    void sort_into_cells();
    // Pads the placements to whole rows and uploads them as the texture; more
    // rows than the GPU's largest texture end the process with a message.
    void upload_placements(std::vector<glm::vec4>& placements);
};

// The field's projection for targets of width x height pixels.
glm::mat4 field_projection(int width, int height);
