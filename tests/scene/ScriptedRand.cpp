#include "ScriptedRand.h"

#include <cstdlib>

ScriptedRand& ScriptedRand::get() {
    static ScriptedRand instance;
    return instance;
}

// Interposes the C library's generator for the whole test executable.
extern "C" int rand() noexcept {
    ScriptedRand& r = ScriptedRand::get();
    r.calls++;
    if (r.values.empty())
        return 0;
    int v = r.values.front();
    r.values.pop_front();
    return v;
}
