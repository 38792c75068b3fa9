#version 330 core
// Glyph quad: pixel position through the orthographic projection, texture
// coordinate passed on.
layout (location = 0) in vec4 vertex; // (x, y) in pixels, (u, v) in the glyph

out vec2 TexCoords;

uniform mat4 projection;

void main()
{
    gl_Position = projection * vec4(vertex.xy, 0.0, 1.0);
    TexCoords = vertex.zw;
}
