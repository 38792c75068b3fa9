#include <gtest/gtest.h>

#include "Gem.h"
#include "ScriptedRand.h"
#include "VertexData.h"

namespace {

TEST(VertexData, HandlesCountVerticesNotFloats) {
    VertexData store;
    ScriptedRand::get().script({});
    Gem gem(glm::mat4(1.0f));
    for (int i = 0; i < 3; i++) {
        VertexData::Handle h = store.add_object(gem.vertices, gem.normals);
        EXPECT_EQ(h.data, &store);
        EXPECT_EQ(h.first, 120 * i);
        EXPECT_EQ(h.count, 120);
    }
    ASSERT_EQ(store.vertices.size(), 3 * 360u);
    ASSERT_EQ(store.normals.size(), 3 * 360u);
    for (size_t i = 0; i < store.vertices.size(); i++) {
        ASSERT_EQ(store.vertices[i], gem.vertices[i % 360]) << i;
        ASSERT_EQ(store.normals[i], gem.normals[i % 360]) << i;
    }
    EXPECT_EQ(gem.vertices.size(), 360u);  // the arguments are read, not taken
    EXPECT_EQ(store.vertices_handle, 0u);
}

TEST(VertexData, ObjectsKeepTheirOrderAndEmptyOnesChangeNothing) {
    VertexData store;
    std::vector<float> none;
    VertexData::Handle h0 = store.add_object(none, none);
    EXPECT_EQ(h0.first, 0);
    EXPECT_EQ(h0.count, 0);

    std::vector<float> v1 = {1, 2, 3}, n1 = {4, 5, 6};
    std::vector<float> v2 = {7, 8, 9, 10, 11, 12}, n2 = {13, 14, 15, 16, 17, 18};
    VertexData::Handle h1 = store.add_object(v1, n1);
    VertexData::Handle h2 = store.add_object(v2, n2);
    VertexData::Handle h3 = store.add_object(none, none);
    EXPECT_EQ(h1.first, 0);
    EXPECT_EQ(h1.count, 1);
    EXPECT_EQ(h2.first, 1);
    EXPECT_EQ(h2.count, 2);
    EXPECT_EQ(h3.first, 3);
    EXPECT_EQ(h3.count, 0);
    EXPECT_EQ(store.vertices, (std::vector<float>{1, 2, 3, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(store.normals, (std::vector<float>{4, 5, 6, 13, 14, 15, 16, 17, 18}));
}

TEST(VertexDataDeathTest, UnequalSizesAbort) {
    VertexData store;
    std::vector<float> three = {1, 2, 3}, six = {1, 2, 3, 4, 5, 6}, none;
    const char* message = "vertices\\.size\\(\\) == normals\\.size\\(\\)";
    EXPECT_DEATH(store.add_object(three, six), message);
    EXPECT_DEATH(store.add_object(three, none), message);
    EXPECT_DEATH(store.add_object(none, three), message);
}

}  // namespace
