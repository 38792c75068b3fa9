#version 330 core
// Coloured lines: end points are taken as clip-space positions and each
// carries its colour to the fragment stage.
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec3 aColor;

out vec3 Color;

void main()
{
    Color = aColor;
    gl_Position = vec4(aPos, 1.0);
}
