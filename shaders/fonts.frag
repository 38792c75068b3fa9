#version 330 core
// Text colour with the glyph's coverage, from the red channel, as alpha.
in vec2 TexCoords;
out vec4 FragColor;

uniform sampler2D text;
uniform vec3 textColor;

void main()
{
    float coverage = texture(text, TexCoords).r;
    FragColor = vec4(textColor, coverage);
}
