#include <array>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <tuple>

#include <gtest/gtest.h>
#include <glm/gtc/matrix_transform.hpp>

#include "Gem.h"
#include "ScriptedRand.h"

namespace {

const int TRIANGLES = 40;

glm::vec3 at(const std::vector<float>& v, int triangle, int corner) {
    size_t i = static_cast<size_t>(triangle) * 9 + static_cast<size_t>(corner) * 3;
    return glm::vec3(v[i], v[i + 1], v[i + 2]);
}

// Bit-exact comparison: EXPECT_EQ on floats compares values, which is exact
// apart from the sign of zero.
void expect_bits(glm::vec3 actual, glm::vec3 expected) {
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.z, expected.z);
}

void expect_triangle(const Gem& g, int t, glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec3 normal) {
    SCOPED_TRACE("triangle " + std::to_string(t));
    expect_bits(at(g.vertices, t, 0), a);
    expect_bits(at(g.vertices, t, 1), b);
    expect_bits(at(g.vertices, t, 2), c);
    for (int corner = 0; corner < 3; corner++)
        expect_bits(at(g.normals, t, corner), normal);
}

int64_t ulps_apart(float a, float b) {
    int32_t ia, ib;
    std::memcpy(&ia, &a, 4);
    std::memcpy(&ib, &b, 4);
    return std::abs(static_cast<int64_t>(ia) - static_cast<int64_t>(ib));
}

// Whether a value, printed with as many significant digits as a published
// figure has, reads as that figure.
void expect_printed(glm::vec3 v, std::array<const char*, 3> figures) {
    for (int i = 0; i < 3; i++) {
        std::string figure = figures[i];
        std::string mantissa = figure.substr(0, figure.find('e'));
        int digits = 0;
        bool leading = true;
        for (char ch : mantissa) {
            leading = leading && (ch == '0' || ch == '.' || ch == '-');
            digits += !leading && ch != '.';
        }
        char text[32];
        std::snprintf(text, sizeof text, "%.*g", digits > 0 ? digits : 1, v[i]);
        EXPECT_EQ(text, figure) << "component " << i;
    }
}

Gem make_gem(glm::mat4 model = glm::mat4(1.0f)) {
    ScriptedRand::get().script({});
    return Gem(model);
}

TEST(RandFloat, MapsEveryRandValueOntoTheClosedUnitInterval) {
    ScriptedRand::get().script({RAND_ZERO, 1, RAND_HALF, 2147483583, 2147483584, RAND_ONE});
    EXPECT_EQ(rand_float(), 0.0f);
    EXPECT_EQ(rand_float(), 4.656612873077393e-10f);
    EXPECT_EQ(rand_float(), 0.5f);
    // The largest values round up to 2^31 in single precision and give 1.
    EXPECT_EQ(rand_float(), 0.99999994f);
    EXPECT_EQ(rand_float(), 1.0f);
    EXPECT_EQ(rand_float(), 1.0f);
    EXPECT_EQ(ScriptedRand::get().calls, 6);
}

TEST(UnitSphereVector, DrawsThetaThenZ) {
    ScriptedRand::get().script({RAND_ZERO, RAND_ZERO});
    expect_bits(get_random_unit_sphere_vector(), {0, 0, -1});
    EXPECT_EQ(ScriptedRand::get().calls, 2);

    ScriptedRand::get().script({RAND_QUARTER, RAND_ONE});
    expect_bits(get_random_unit_sphere_vector(), {0, 0, 1});

    // theta = float(0.5 * pi) = 1.5707964, whose single-precision cosine is not 0.
    ScriptedRand::get().script({RAND_QUARTER, RAND_HALF});
    expect_bits(get_random_unit_sphere_vector(), {-4.37113883e-08f, 1, 0});
    EXPECT_EQ(ScriptedRand::get().calls, 2);
}

TEST(UnitSphereVector, HasUnitLength) {
    std::deque<int> values;
    uint32_t state = 12345;
    for (int i = 0; i < 2000; i++) {
        state = state * 1103515245u + 12345u;
        values.push_back(static_cast<int>(state >> 1));
    }
    ScriptedRand::get().script(values);
    for (int i = 0; i < 1000; i++) {
        glm::vec3 v = get_random_unit_sphere_vector();
        ASSERT_NEAR(glm::length(v), 1.0f, 1e-6f) << "draw " << i;
    }
}

TEST(GemConstruction, ConsumesSixDrawsInTheStatedOrder) {
    // axis theta, axis z, angle, colour z, colour y, colour x; 777 stays unused.
    ScriptedRand::get().script({RAND_QUARTER, RAND_HALF, RAND_HALF, RAND_ZERO, RAND_HALF, RAND_ONE, 777});
    glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(1.5f, -2.0f, 199.0f));
    Gem g(model);
    EXPECT_EQ(ScriptedRand::get().calls, 6);
    EXPECT_EQ(ScriptedRand::get().values.front(), 777);

    expect_bits(g.axis, {-4.37113883e-08f, 1, 0});
    EXPECT_EQ(g.angle, 3.14159274f);
    expect_bits(g.color, {0.9f, 0.95f, 1.0f});
    EXPECT_EQ(g.model, model);
    expect_bits(g.position, {1.5f, -2.0f, 199.0f});
    EXPECT_EQ(g.spin, 0.0f);
    EXPECT_EQ(g.spin_speed, 60.0f);
    EXPECT_TRUE(g.enabled);
}

TEST(GemConstruction, FullAngleAndPaleColourAtTheTopOfTheRange) {
    ScriptedRand::get().script({RAND_ZERO, RAND_ZERO, RAND_ONE, RAND_ONE, RAND_ONE, RAND_ONE});
    Gem g(glm::mat4(1.0f));
    EXPECT_EQ(g.angle, 6.28318548f);
    expect_bits(g.color, {0.9f, 0.9f, 0.9f});
}

TEST(GemMesh, MatchesTheWorkedValues) {
    Gem g = make_gem();
    ASSERT_EQ(g.vertices.size(), 360u);
    ASSERT_EQ(g.normals.size(), 360u);

    // The published figures, printed with as many significant digits as given.
    expect_printed(at(g.vertices, 0, 2), {"0.809017", "0", "0.5877852"});
    expect_printed(at(g.normals, 0, 0), {"0.6891517", "-0.6891517", "0.22391896"});
    expect_printed(at(g.normals, 1, 0), {"0.6122111", "0.7652637", "0.19891943"});
    expect_printed(at(g.vertices, 3, 0), {"0.6472136", "0.16000001", "0.4702282"});
    expect_printed(at(g.normals, 3, 0), {"0.049931031", "0.99862093", "0.016223574"});
    expect_printed(at(g.vertices, 20, 1), {"-1", "0", "1.2246469e-16"});

    // The exact single-precision results of the stated steps.
    const glm::vec3 culet(0, -1, 0), table(0, 0.2f, 0);
    const glm::vec3 a0(1, 0, 0), a1(0.809017003f, 0, 0.587785244f);
    const glm::vec3 b0(0.800000012f, 0.160000011f, 0), b1(0.647213638f, 0.160000011f, 0.470228195f);
    expect_triangle(g, 0, culet, a0, a1, {0.689151704f, -0.689151704f, 0.223918959f});
    expect_triangle(g, 1, a1, a0, b0, {0.612211108f, 0.765263736f, 0.19891943f});
    expect_triangle(g, 2, b0, b1, a1, {0.612211168f, 0.765263736f, 0.19891943f});
    expect_triangle(g, 3, b1, b0, table, {0.0499310307f, 0.998620927f, 0.0162235741f});

    // The upper crown triangle is coplanar with the lower one; its normal
    // differs only by rounding.
    glm::vec3 lower = at(g.normals, 1, 0), upper = at(g.normals, 2, 0);
    EXPECT_LE(ulps_apart(lower.x, upper.x), 1);
    EXPECT_LE(ulps_apart(lower.y, upper.y), 1);
    EXPECT_LE(ulps_apart(lower.z, upper.z), 1);

    // A[5], the second corner of segment 5's pavilion: sin(pi) in double is not 0.
    expect_bits(at(g.vertices, 20, 1), {-1, 0, 1.2246469e-16f});

    // Every crown ring point sits at the single-precision product 0.8 * 0.2.
    for (int j = 0; j < 10; j++) {
        EXPECT_EQ(at(g.vertices, 4 * j + 1, 2).y, 0.16000001f);
        EXPECT_EQ(at(g.vertices, 4 * j + 2, 0).y, 0.16000001f);
        EXPECT_EQ(at(g.vertices, 4 * j + 3, 1).y, 0.16000001f);
    }
}

TEST(GemMesh, IsAClosedOutwardFacingFlatShadedSolid) {
    Gem g = make_gem();
    using Point = std::tuple<float, float, float>;
    std::map<std::pair<Point, Point>, int> directed_edges;
    const glm::vec3 inside(0, -0.1f, 0);
    for (int t = 0; t < TRIANGLES; t++) {
        glm::vec3 p[3] = {at(g.vertices, t, 0), at(g.vertices, t, 1), at(g.vertices, t, 2)};
        glm::vec3 n = at(g.normals, t, 0);
        EXPECT_EQ(at(g.normals, t, 1), n);
        EXPECT_EQ(at(g.normals, t, 2), n);
        EXPECT_NEAR(glm::length(n), 1.0f, 1e-6f);
        glm::vec3 centroid = (p[0] + p[1] + p[2]) / 3.0f;
        EXPECT_GT(glm::dot(n, centroid - inside), 0.0f) << "triangle " << t << " faces inwards";
        for (int e = 0; e < 3; e++) {
            glm::vec3 from = p[e], to = p[(e + 1) % 3];
            directed_edges[{{from.x, from.y, from.z}, {to.x, to.y, to.z}}]++;
        }
    }
    // Consistent winding: every edge is used once in each direction.
    EXPECT_EQ(directed_edges.size(), 120u);
    for (const auto& [edge, uses] : directed_edges) {
        EXPECT_EQ(uses, 1);
        EXPECT_EQ(directed_edges.count({edge.second, edge.first}), 1u);
    }
}

TEST(GemMesh, IsTheSameForEveryModelAndDraw) {
    Gem reference = make_gem();
    ScriptedRand::get().script({RAND_ONE, RAND_HALF, 12345, 999, 1, RAND_QUARTER});
    Gem other(glm::translate(glm::mat4(1.0f), glm::vec3(-200, 200, 37)));
    EXPECT_EQ(other.vertices, reference.vertices);
    EXPECT_EQ(other.normals, reference.normals);
}

TEST(GemMesh, AGrowingVectorMovesGemsWithoutCopyingTheirMeshes) {
    std::vector<Gem> gems;
    gems.push_back(make_gem());
    const float* vertices = gems[0].vertices.data();
    const float* normals = gems[0].normals.data();
    while (gems.size() < 9)
        gems.push_back(make_gem());
    EXPECT_EQ(gems[0].vertices.data(), vertices);
    EXPECT_EQ(gems[0].normals.data(), normals);
}

}  // namespace
