// Renders one frame of the show at a given demo time and window size and
// writes it as a binary PPM, for looking at frames without a capture run.
// Runs in a folder holding shaders/.
// Usage: show_still SECONDS WIDTH HEIGHT OUT.ppm [--no-bloom]

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FW/Window.h"
#include "ShowPasses.h"

int main(int argc, char** argv) {
    if (argc != 5 && !(argc == 6 && std::strcmp(argv[5], "--no-bloom") == 0)) {
        std::fprintf(stderr, "usage: show_still SECONDS WIDTH HEIGHT OUT.ppm [--no-bloom]\n");
        return 2;
    }
    float seconds = static_cast<float>(std::atof(argv[1]));
    int width = std::atoi(argv[2]);
    int height = std::atoi(argv[3]);
    FW::init(width, height, "show still", false);
    show::set_demo_state();
    Pipeline::get().init();

    // The first pass meets an uncleared depth buffer; the second frame is the real one.
    for (int frame = 0; frame < 2; ++frame) {
        draw_background_pass(seconds);
        draw_blur_passes();
        draw_composite_pass(argc == 5);
    }

    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    FILE* out = std::fopen(argv[4], "wb");
    if (!out) {
        std::perror(argv[4]);
        return 1;
    }
    std::fprintf(out, "P6\n%d %d\n255\n", width, height);
    for (int row = height - 1; row >= 0; --row)
        std::fwrite(pixels.data() + static_cast<size_t>(row) * width * 3, 1,
                    static_cast<size_t>(width) * 3, out);
    bool written = std::fclose(out) == 0;
    FW::clean_up();
    return written ? 0 : 1;
}
