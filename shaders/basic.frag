#version 330 core
// Coloured lines: the interpolated vertex colour, fully opaque.
in vec3 Color;
out vec4 FragColor;

const float OPAQUE = 1.0;

void main()
{
    FragColor = vec4(Color, OPAQUE);
}
