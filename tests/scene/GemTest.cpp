#include <cmath>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "Gem.h"
#include "GemField.h"
#include "VertexData.h"

namespace {

std::vector<int> scripted;  // what the gems draw in this executable, then zeros
size_t rand_calls = 0;
int scripted_draw() { return rand_calls < scripted.size() ? scripted[rand_calls++] : (rand_calls++, 0); }
const bool scripted_draws = (random_source = scripted_draw, true);

const int QUARTER = 1 << 29, HALF = 1 << 30, ONE = 2147483647;  // rand_float() gives 0.25, 0.5, 1

glm::vec3 at(const std::vector<float>& v, int t, int corner) { return glm::make_vec3(&v[9 * t + 3 * corner]); }

TEST(Gem, ConsumesSixDrawsInOrderThetaZAngleColourZYX) {
    scripted = {QUARTER, HALF, HALF, 0, HALF, ONE, 777};
    rand_calls = 0;
    Gem g(glm::translate(glm::mat4(1.0f), glm::vec3(1.5f, -2.0f, 199.0f)));
    EXPECT_EQ(rand_calls, 6u);
    EXPECT_EQ(g.axis, glm::vec3(-4.37113883e-08f, 1, 0));  // float(pi / 2) has a non-zero cosine
    EXPECT_EQ(g.angle, 3.14159274f);
    EXPECT_EQ(g.color, glm::vec3(0.9f, 0.95f, 1.0f));
}

TEST(Gem, MeshAndNormalsMatchTheWorkedValuesToTheBit) {
    Gem g(glm::mat4(1.0f));
    ASSERT_EQ(std::make_pair(g.vertices.size(), g.normals.size()), std::make_pair(360ul, 360ul));
    // The exact single-precision results of the stated steps; they print as the worked figures.
    const glm::vec3 culet(0, -1, 0), table(0, 0.2f, 0), a0(1, 0, 0), a1(0.809017003f, 0, 0.587785244f);
    const glm::vec3 b0(0.800000012f, 0.160000011f, 0), b1(0.647213638f, 0.160000011f, 0.470228195f);
    const struct { int t; glm::vec3 corners[3], normal; } worked[] = {
        {0, {culet, a0, a1}, {0.689151704f, -0.689151704f, 0.223918959f}},
        {1, {a1, a0, b0}, {0.612211108f, 0.765263736f, 0.19891943f}},
        {2, {b0, b1, a1}, {0.612211168f, 0.765263736f, 0.19891943f}},  // x one ulp off triangle 1's
        {3, {b1, b0, table}, {0.0499310307f, 0.998620927f, 0.0162235741f}},
    };
    for (const auto& w : worked)
        for (int c = 0; c < 3; c++) {
            EXPECT_EQ(at(g.vertices, w.t, c), w.corners[c]) << "triangle " << w.t;
            EXPECT_EQ(at(g.normals, w.t, c), w.normal) << "triangle " << w.t;
        }
    EXPECT_EQ(at(g.vertices, 20, 1), glm::vec3(-1, 0, 1.2246469e-16f));  // A[5]: sin(pi) in double
}

TEST(VertexData, HandlesCountVerticesAndTheStoreKeepsTheOrder) {
    Gem gem(glm::mat4(1.0f));
    std::vector<float> v = {1, 2, 3}, n = {4, 5, 6};
    VertexData store;
    VertexData::Handle a = store.add_object(v, n), b = store.add_object(gem.vertices, gem.normals);
    EXPECT_EQ(std::make_tuple(a.data, a.first, a.count, b.data, b.first, b.count),
              std::make_tuple(&store, 0, 1, &store, 1, 120));
    v.insert(v.end(), gem.vertices.begin(), gem.vertices.end());
    n.insert(n.end(), gem.normals.begin(), gem.normals.end());
    EXPECT_EQ(std::make_pair(store.vertices, store.normals), std::make_pair(v, n));
}

// The cull keeps a stone by its whole body: one whose centre lies just past the view's right edge, or
// between the eye and the near plane, but which reaches into the view is kept; a little farther, not.
TEST(GemField, CullKeepsStonesWhoseBodiesReachIntoTheView) {
    const float edge = 10.0f * std::tan(glm::radians(GemField::fov_y_degrees / 2)) * 16 / 9;
    GemField field;  // the eye at the origin looking down -z; one cell, across the view's edge
    field.bounds = {{edge + 0.5f, 0, -10, 1}, {0, 0, -0.05f, 0.2f}, {edge + 2, 0, -10, 1}, {0, 0, 0.5f, 0.2f}};
    field.cell_stones = {0, 1, 2, 3};
    field.cell_first = {0, 4};
    field.cell_bounds = {{0, 0, -10, 100}};
    field.handles = {{nullptr, 0, 10}, {nullptr, 10, 10}, {nullptr, 20, 10}, {nullptr, 30, 10}};
    field.cull(field_projection(160, 90));
    EXPECT_EQ(std::make_tuple(field.visible, field.firsts, field.counts),
              std::make_tuple(2, std::vector<GLint>{0}, std::vector<GLsizei>{20}));
}

}  // namespace
