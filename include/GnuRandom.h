#pragma once

#include <cstdint>

// The sequence of GNU libc's rand() after srand(seed): an additive feedback
// generator over 34 words seeded by a Lehmer generator. The browser build's
// C library (musl) has another rand(); it takes this one, so that a seed
// makes the same scene in both builds.
class GnuRandom {
public:
    explicit GnuRandom(unsigned seed = 1);
    void seed(unsigned seed);
    // The next value in [0, 2^31 - 1].
    int next();

private:
    static const int degree = 31;
    static const int separation = 3;
    // The last `degree` words of the feedback sequence, a ring from `front`.
    std::uint32_t words[degree];
    int front = 0;
};
