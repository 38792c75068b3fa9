// The bounds checks of the vertex and line stores, built here with NDEBUG
// defined as a packager's flags may add it: they must still abort.
#include <vector>

#include <gtest/gtest.h>

#include "VertexData.h"
#include "singletons/Scene.h"

namespace {

TEST(StoreChecksDeathTest, StayOnUnderNdebug) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // the parent holds a GL context
    VertexData store;
    std::vector<float> three = {1, 2, 3}, six = {1, 2, 3, 4, 5, 6};
    EXPECT_DEATH(store.add_object(three, six), "vertices\\.size\\(\\) == normals\\.size\\(\\)");
    Lines lines;
    lines.nlines = lines.maxlines;
    EXPECT_DEATH(lines.add_line(1, 2, 3, 4, 5, 6), "nlines <= maxlines");
}

}  // namespace
