#version 330 core
// One separable Gaussian blur step along x ("horizontal" = 1) or y.
in vec2 TexCoords;
out vec4 FragColor;

uniform sampler2D image;
uniform int horizontal;

const float WEIGHTS[5] = float[](0.227027, 0.1945946, 0.1216216, 0.054054, 0.016216);

void main()
{
    vec2 step = 1.0 / vec2(textureSize(image, 0));
    step = horizontal == 1 ? vec2(step.x, 0.0) : vec2(0.0, step.y);
    vec3 result = texture(image, TexCoords).rgb * WEIGHTS[0];
    for (int i = 1; i < 5; ++i) {
        result += texture(image, TexCoords + step * float(i)).rgb * WEIGHTS[i];
        result += texture(image, TexCoords - step * float(i)).rgb * WEIGHTS[i];
    }
    FragColor = vec4(result, 1.0);
}
