#version 330 core
// Pass-through background for timing: a gradient into both outputs.
in vec2 TexCoords;
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;

uniform float t;

void main()
{
    FragColor = vec4(TexCoords, t, 1.0);
    BrightColor = FragColor;
}
