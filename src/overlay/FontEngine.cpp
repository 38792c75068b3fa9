// The font engine: glyph textures loaded on first use and text drawn in pixel coordinates.
#include "singletons/FontEngine.h"

#include <cstdlib>
#include <iostream>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "GlyphBitmap.h"

namespace {

const char* const font_path = "fonts/arial.ttf";
// Far above any Latin font; a larger file is taken for a wrong one.
const std::size_t max_font_bytes = 64 << 20;
// Character codes 0..127 are rasterised for every pixel size.
const int glyph_count = 128;
// Six vertices of (x, y, u, v): two triangles per glyph.
const GLsizeiptr quad_bytes = 6 * 4 * sizeof(float);

}  // namespace

FontEngine& FontEngine::get() {
    static FontEngine instance;
    return instance;
}

void FontEngine::init(int text_width, int text_height) {
    program.load("shaders/fonts.vert", "shaders/fonts.frag");

    // Text is composited by its coverage; the rest of the run inherits this.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    width = text_width;
    height = text_height;
    projection = glm::ortho(0.0f, static_cast<float>(width), 0.0f, static_cast<float>(height));

    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, quad_bytes, nullptr, GL_DYNAMIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void FontEngine::load_glyphs(int pixel_size) {
    FT_Library library;
    if (FT_Init_FreeType(&library)) {
        std::cout << "ERROR::FREETYPE: Could not init FreeType Library" << std::endl;
        exit(-1);
    }
    // Read like the shaders, so that only a regular file of sane size reaches
    // FreeType; the bytes stay until the face is done.
    std::string font;
    FT_Face face;
    if (FW::read_file(font_path, font, max_font_bytes) != FW::FileRead::ok ||
        FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(font.data()), static_cast<FT_Long>(font.size()),
                           0, &face)) {
        std::cout << "ERROR::FREETYPE: Failed to load font" << std::endl;
        exit(-1);
    }
    const std::string size_error = set_glyph_size(face, pixel_size);

    // Glyph coverage is uploaded as tightly packed rows of single bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // A size the font does not have is recorded as loaded with no glyphs: its
    // texts draw nothing, and the message comes once.
    if (!size_error.empty())
        std::cout << size_error << std::endl;
    GlyphImage image;
    for (int c = 0; c < glyph_count && size_error.empty(); ++c) {
        if (!render_glyph(face, static_cast<unsigned long>(c), image)) {
            std::cout << "ERROR::FREETYTPE: Failed to load Glyph" << std::endl;
            continue;
        }
        GLuint texture;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, FW::COVERAGE_INTERNAL_FORMAT, image.width, image.rows, 0, GL_RED,
                     GL_UNSIGNED_BYTE, image.coverage.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        characters[{pixel_size, static_cast<char>(c)}] = Character{
            texture,
            glm::ivec2(image.width, image.rows),
            glm::ivec2(image.left, image.top),
            image.advance,
        };
    }
    loaded_sizes.insert(pixel_size);
    glBindTexture(GL_TEXTURE_2D, 0);

    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

void glyph_quad(const FontEngine::Character& ch, float pen_x, float y, float out[6][4]) {
    const float xpos = pen_x + ch.bearing.x;
    const float ypos = y - static_cast<float>(ch.size.y - ch.bearing.y);
    const float w = static_cast<float>(ch.size.x);
    const float h = static_cast<float>(ch.size.y);
    // v = 0 is the bitmap's first row, the glyph's top.
    const float vertices[6][4] = {
        {xpos, ypos + h, 0.0f, 0.0f},    {xpos, ypos, 0.0f, 1.0f},
        {xpos + w, ypos, 1.0f, 1.0f},    {xpos, ypos + h, 0.0f, 0.0f},
        {xpos + w, ypos, 1.0f, 1.0f},    {xpos + w, ypos + h, 1.0f, 0.0f},
    };
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 4; ++j)
            out[i][j] = vertices[i][j];
}

void FontEngine::draw(std::string text, float x, float y, int pixel_size, glm::vec3 colour) {
    if (loaded_sizes.count(pixel_size) == 0)
        load_glyphs(pixel_size);

    glDisable(GL_DEPTH_TEST);
    glUseProgram(program.handle);
    glUniformMatrix4fv(glGetUniformLocation(program.handle, "projection"), 1, GL_FALSE,
                       glm::value_ptr(projection));
    glUniform3f(glGetUniformLocation(program.handle, "textColor"), colour.x, colour.y, colour.z);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(vao);

    float pen = x;
    for (char c : text) {
        // An unknown byte gets an all-zero record: an empty quad that does not move the pen.
        const Character& ch = characters[{pixel_size, c}];
        float vertices[6][4];
        glyph_quad(ch, pen, y, vertices);
        glBindTexture(GL_TEXTURE_2D, ch.texture);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(vertices), vertices);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        // The advance is in 1/64 pixel; the fraction is dropped.
        pen += static_cast<float>(ch.advance >> 6);
    }

    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glEnable(GL_DEPTH_TEST);
}
