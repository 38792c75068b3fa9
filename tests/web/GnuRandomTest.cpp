// The browser build's rand() gives the sequence of this machine's C library
// (GNU libc) for the scene's seed and the edge seeds, so that both builds
// generate the same gem field.

#include <gtest/gtest.h>

#include <cstdlib>

#include "GnuRandom.h"

TEST(GnuRandomTest, MatchesTheCLibrarySequence) {
    for (unsigned seed : {0u, 1u, 1323u, 4294967295u}) {
        std::srand(seed);
        GnuRandom random(seed);
        for (int i = 0; i < 100000; ++i)
            ASSERT_EQ(random.next(), std::rand()) << "seed " << seed << ", draw " << i;
    }
}
