// Composes the demo's soundtrack and writes it as a 44.1 kHz stereo WAV file.
#include <cstdio>

#include "Song.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argv[0]);
        return 2;
    }
    if (!song::write_wav(song::render(), argv[1])) {
        std::fprintf(stderr, "Could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
