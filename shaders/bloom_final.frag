#version 330 core
// Adds the blurred bright image to the scene and tone-maps the sum.
in vec2 TexCoords;
out vec4 FragColor;

uniform sampler2D scene;
uniform sampler2D bloomBlur;
uniform int bloom;
uniform float exposure;

const float GAMMA = 2.2;

void main()
{
    vec3 color = texture(scene, TexCoords).rgb;
    if (bloom != 0)
        color += texture(bloomBlur, TexCoords).rgb;
    vec3 mapped = vec3(1.0) - exp(-color * exposure);
    FragColor = vec4(pow(mapped, vec3(1.0 / GAMMA)), 1.0);
}
