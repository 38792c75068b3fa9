#version 330 core
// One step of the separable bloom blur, along x ("horizontal" = 1) or y (0).
// The pipeline runs three horizontal and two vertical passes; what matters is
// their combined kernel, a round bell whose width is a fixed fraction of the
// image height up to a height of 360 (and a fixed number of texels beyond).
// Every pass runs the same kernel on its axis, so each one must be smooth by
// itself: a sparse kernel repeated keeps its gaps, and a bright point would
// show them as a lattice of dots. So each pass covers every texel of its
// reach, two neighbours per linear-filtered fetch, with the Gaussian weights
// and fetch positions that the vertex shader works out. The weights sum to 1,
// so the blur neither adds nor loses light.
in vec2 TexCoords;
flat in vec2 axis;
flat in vec4 taps[2];
flat in float centre_weight;
out vec4 FragColor;

uniform sampler2D image;

// The pairs of texels taken to each side, in one unrolled block: a software
// rasteriser slows the whole shader down for filtered fetches in a loop
// whose count it does not know in advance, so the number is fixed.
const int PAIRS = 4;

// The pair of texels `pair` on both sides, weighted, one fetch a side.
vec3 pair_light(int pair) {
    vec4 two = taps[pair / 2];
    vec2 tap = pair % 2 == 0 ? two.xy : two.zw;
    vec2 offset = tap.x * axis;
    return tap.y * (textureLod(image, TexCoords + offset, 0.0).rgb
                    + textureLod(image, TexCoords - offset, 0.0).rgb);
}

void main()
{
    vec3 sum = centre_weight * textureLod(image, TexCoords, 0.0).rgb;
    for (int pair = 0; pair < PAIRS; ++pair)
        sum += pair_light(pair);
    FragColor = vec4(sum, 1.0);
}
