#version 330 core
// The demo's picture, painted from the time value alone.
in vec2 TexCoords;
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;

uniform float t;

const float BRIGHT_THRESHOLD = 1.0;

void main()
{
    vec2 p = TexCoords * 2.0 - 1.0;
    float rings = 0.5 + 0.5 * sin(10.0 * length(p) - 4.0 * t);
    vec3 color = vec3(0.2 + 0.8 * rings, 0.3 * rings, 0.6) * (1.0 + 2.0 * pow(rings, 8.0));
    FragColor = vec4(color, 1.0);
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    BrightColor = vec4(luminance > BRIGHT_THRESHOLD ? color : vec3(0.0), 1.0);
}
