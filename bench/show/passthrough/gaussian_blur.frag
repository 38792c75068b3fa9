#version 330 core
// Pass-through blur for timing: one fetch, no filtering.
in vec2 TexCoords;
out vec4 FragColor;

uniform sampler2D image;

void main()
{
    FragColor = vec4(texture(image, TexCoords).rgb, 1.0);
}
