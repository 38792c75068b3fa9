#version 330 core
// One pass of the bloom blur: the centre texel and four pairs of fetches on
// either side of it, at the offsets and weights that the vertex shader works
// out for this pass (see gaussian_blur.vert). The weights sum to 1, so the
// blur neither adds nor loses light.
in vec2 TexCoords;
flat in vec2 offsets[4];
flat in vec4 pair_weights;
flat in float centre_weight;
out vec4 FragColor;

uniform sampler2D image;

// The pair `pair` of fetches, one on each side of the pixel, weighted. One
// unrolled block of a fixed count: a software rasteriser slows the whole
// shader down for filtered fetches in a loop whose count it does not know.
vec3 pair_light(int pair) {
    vec2 offset = offsets[pair];
    return pair_weights[pair] * (textureLod(image, TexCoords + offset, 0.0).rgb
                                 + textureLod(image, TexCoords - offset, 0.0).rgb);
}

void main()
{
    vec3 sum = centre_weight * textureLod(image, TexCoords, 0.0).rgb;
    for (int pair = 0; pair < 4; ++pair)
        sum += pair_light(pair);
    FragColor = vec4(sum, 1.0);
}
