#pragma once

#include <deque>

// The unit tests replace the C library's rand() with a script: each call
// takes the next scripted value (0 when the script is empty) and is counted.
struct ScriptedRand {
    std::deque<int> values;
    int calls = 0;

    static ScriptedRand& get();
    void script(std::deque<int> next) {
        values = std::move(next);
        calls = 0;
    }
};

// rand() values that make rand_float() return exactly these fractions.
constexpr int RAND_ZERO = 0;
constexpr int RAND_QUARTER = 1 << 29;
constexpr int RAND_HALF = 1 << 30;
constexpr int RAND_ONE = 2147483647;
