// The browser build's rand() and srand(): GNU libc's sequence in place of
// musl's, so that a seed makes the same gem field in the page as natively.
#include <cstdint>
#include <cstdlib>

namespace {

// GNU libc's rand() after srand(seed): an additive feedback generator over 31
// words, seeded by a Lehmer generator.
class GnuRandom {
public:
    void seed(unsigned seed_value) {
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
        // The feedback starts at word 3, adding word 0; its first 310 outputs are dropped.
        front = separation;
        for (int i = 0; i < 10 * degree; ++i)
            next();
    }

    // The next value in [0, 2^31 - 1].
    int next() {
        // words[front] is r[k - 31], and r[k - 3] lies three words behind it in the ring.
        const std::uint32_t value = words[front] + words[(front + degree - separation) % degree];
        words[front] = value;
        front = (front + 1) % degree;
        return static_cast<int>(value >> 1);
    }

private:
    static const int degree = 31;
    static const int separation = 3;
    // The last `degree` words of the feedback sequence, a ring from `front`.
    std::uint32_t words[degree];
    int front = 0;
};

GnuRandom& generator() {
    static GnuRandom instance = [] {
        GnuRandom seeded;
        seeded.seed(1);
        return seeded;
    }();
    return instance;
}

}  // namespace

extern "C" int rand() {
    return generator().next();
}

extern "C" void srand(unsigned seed) {
    generator().seed(seed);
}
