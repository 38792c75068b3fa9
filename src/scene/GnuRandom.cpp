// GNU libc's rand() sequence, computed the way that library defines it.
#include "GnuRandom.h"

GnuRandom::GnuRandom(unsigned seed_value) {
    seed(seed_value);
}

void GnuRandom::seed(unsigned seed_value) {
    // srand(0) seeds as srand(1).
    std::int32_t word = seed_value == 0 ? 1 : static_cast<std::int32_t>(seed_value);
    words[0] = static_cast<std::uint32_t>(word);
    // 16807 * word mod (2^31 - 1), without overflow (Schrage's method).
    for (int i = 1; i < degree; ++i) {
        const std::int32_t high = word / 127773, low = word % 127773;
        word = 16807 * low - 2836 * high;
        if (word < 0)
            word += 2147483647;
        words[i] = static_cast<std::uint32_t>(word);
    }
    // The feedback starts at word 3, adding word 0.
    front = separation;
    // The first 310 outputs of the feedback are dropped.
    for (int i = 0; i < 10 * degree; ++i)
        next();
}

int GnuRandom::next() {
    // words[front] is r[k - 31], and r[k - 3] lies three words behind it in the ring.
    const std::uint32_t value = words[front] + words[(front + degree - separation) % degree];
    words[front] = value;
    front = (front + 1) % degree;
    return static_cast<int>(value >> 1);
}
