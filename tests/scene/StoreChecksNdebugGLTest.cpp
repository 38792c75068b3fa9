// The bounds checks of the vertex and line stores, built here with NDEBUG
// defined as a packager's flags may add it: they must still abort.
#include <csignal>
#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

#include "VertexData.h"
#include "singletons/Scene.h"

namespace {

// A full line store given room for one more segment: the check comes before the write, so the
// spare slot is still zero when the assertion aborts the process.
TEST(StoreChecksDeathTest, StayOnUnderNdebugAndComeBeforeTheWrite) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // the parent holds a GL context
    VertexData store;
    std::vector<float> three = {1, 2, 3}, six = {1, 2, 3, 4, 5, 6};
    EXPECT_DEATH(store.add_object(three, six), "vertices\\.size\\(\\) == normals\\.size\\(\\)");
    static Lines lines;
    lines.nlines = lines.maxlines;
    lines.vertices.resize(lines.vertices.size() + 6, 0.0f);
    EXPECT_DEATH(
        {
            std::signal(SIGABRT, [](int) { std::fputs(lines.vertices.back() ? "written\n" : "slot untouched\n", stderr); });
            lines.add_line(1, 2, 3, 4, 5, 6);
        },
        "nlines <= maxlines.*slot untouched");
}

}  // namespace
