#version 330 core
// Pass-through composite for timing: the scene plus the bloom, no tone mapping.
in vec2 TexCoords;
out vec4 FragColor;

uniform sampler2D scene;
uniform sampler2D bloomBlur;

void main()
{
    FragColor = vec4(texture(scene, TexCoords).rgb + texture(bloomBlur, TexCoords).rgb, 1.0);
}
