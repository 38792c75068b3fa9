#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>

#include <glm/glm.hpp>

#include "FW/GL.h"
#include "FW/Shader.h"

// Draws single lines of text from a TrueType font, one textured quad per
// character, in pixels from the bottom-left corner.
class FontEngine {
public:
    struct Character {
        GLuint texture;
        glm::ivec2 size;
        glm::ivec2 bearing;
        unsigned int advance;
    };

    std::map<std::pair<int, char>, Character> characters;
    std::set<int> loaded_sizes;
    GLuint vao = 0;
    GLuint vbo = 0;
    FW::ShaderProgram program;
    glm::mat4 projection = glm::mat4(1.0f);
    // The size in pixels that the projection maps: text coordinates run over it.
    int width = 0;
    int height = 0;

    static FontEngine& get();
    void init(int width, int height);
    void load_glyphs(int pixel_size);
    void draw(std::string text, float x, float y, int pixel_size, glm::vec3 colour);

private:
    FontEngine() = default;
    FontEngine(const FontEngine&) = delete;
    FontEngine& operator=(const FontEngine&) = delete;
};

// The six (x, y, u, v) vertices of a glyph's quad for the pen at (pen_x, y).
void glyph_quad(const FontEngine::Character& ch, float pen_x, float y, float out[6][4]);
