// Live mode's status line and shader errors; see LiveOverlay.h.
#include "LiveOverlay.h"

#include <cstdio>

#include <glm/glm.hpp>

#include "singletons/FontEngine.h"

namespace {

const int status_size = 20;
const int line_size = 16;
const float margin = 10.0f;
const float line_spacing = 1.4f;
const glm::vec3 status_colour(1.0f, 1.0f, 1.0f);
// A saturated red that no part of the show uses for text, so it reads as an error.
const glm::vec3 error_colour(1.0f, 0.15f, 0.1f);
// Of each list: the file line and the start of the log, enough to find the
// fault, not to hide the picture.
const size_t max_lines = 8;

// The longest start of `line` whose glyphs end within `width` pixels when
// drawn from x; tabs become spaces.
std::string fit_to_width(std::string line, float x, int width, int size) {
    FontEngine& font = FontEngine::get();
    if (font.loaded_sizes.count(size) == 0)
        font.load_glyphs(size);
    float pen = x;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t')
            line[i] = ' ';
        const auto glyph = font.characters.find({size, line[i]});
        pen += glyph == font.characters.end() ? 0.0f : static_cast<float>(glyph->second.advance >> 6);
        if (pen > static_cast<float>(width))
            return line.substr(0, i);
    }
    return line;
}

}  // namespace

void draw_live_overlay(bool paused, float t, const std::vector<std::string>& errors, int width, int height,
                       const std::vector<std::string>& values) {
    FontEngine& font = FontEngine::get();
    float baseline = static_cast<float>(height) - margin - status_size;
    if (paused) {
        char status[32];
        std::snprintf(status, sizeof status, "%.2f s  paused", static_cast<double>(t));
        font.draw(status, margin, baseline, status_size, status_colour);
        baseline -= status_size * line_spacing;
    }
    for (const auto* lines : {&errors, &values}) {
        const glm::vec3& colour = lines == &errors ? error_colour : status_colour;
        for (size_t i = 0; i < lines->size() && i < max_lines && baseline > 0.0f; ++i) {
            font.draw(fit_to_width((*lines)[i], margin, width, line_size), margin, baseline, line_size, colour);
            baseline -= line_size * line_spacing;
        }
    }
}
