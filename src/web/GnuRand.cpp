// The browser build's rand() and srand(): GNU libc's sequence in place of
// musl's, so that the page generates the same gem field as the native demo.
#include <cstdlib>

#include "GnuRandom.h"

namespace {
GnuRandom& generator() {
    static GnuRandom instance;
    return instance;
}
}  // namespace

extern "C" int rand() {
    return generator().next();
}

extern "C" void srand(unsigned seed) {
    generator().seed(seed);
}
