#version 330 core
// One step of the separable bloom blur, along x ("horizontal" = 1) or y (0).
// The pipeline runs three horizontal and two vertical passes; what matters is
// their combined kernel, a bell whose width is a fixed fraction of the image
// height, so the glow looks the same at every resolution and is round.
// Every pass runs the same kernel on its axis, so each one must be smooth by
// itself: a sparse kernel repeated keeps its gaps, and a bright point would
// show them as a lattice of dots. So each pass covers every texel of its
// reach, two neighbours per linear-filtered fetch, with the Gaussian weights
// and fetch positions that the vertex shader works out; the reach in texels,
// and so the number of fetches, follows the image height. The weights sum
// to 1, so the blur neither adds nor loses light.
in vec2 TexCoords;
flat in vec2 axis;
flat in vec4 taps[2];
flat in float centre_weight;
flat in int pairs;
// Past the taps: the weight of texel 2 BASE_PAIRS, the ratio to the next
// one's, the ratio's change per texel (all already divided by the total).
flat in vec3 tail;
out vec4 FragColor;

uniform sampler2D image;

// The pairs that every image takes with linear-filtered fetches, one block
// unrolled (all of them at a height of 360). Taller images add the rest in
// a loop whose count the rasteriser does not know in advance, with unfiltered
// fetches: a software rasteriser slows the whole shader down when filtered
// fetches sit in such a loop.
const int BASE_PAIRS = 4;

// The pair of texels `pair` on both sides, weighted, with one filtered fetch
// a side.
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
    for (int pair = 0; pair < BASE_PAIRS; ++pair)
        sum += pair_light(pair);
    // The rest texel by texel, its weights continuing the vertex shader's
    // recurrence (the taps are not indexed here: a software rasteriser slows
    // the whole shader down for an input array indexed in such a loop).
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    ivec2 step = ivec2(axis.x > 0.0 ? 1 : 0, axis.y > 0.0 ? 1 : 0);
    ivec2 last = textureSize(image, 0) - 1;
    float weight = tail.x, ratio = tail.y;
    for (int texel = 2 * BASE_PAIRS + 1; texel <= 2 * pairs; ++texel) {
        weight *= ratio;
        ratio *= tail.z;
        sum += weight * (texelFetch(image, clamp(pixel + texel * step, ivec2(0), last), 0).rgb
                         + texelFetch(image, clamp(pixel - texel * step, ivec2(0), last), 0).rgb);
    }
    FragColor = vec4(sum, 1.0);
}
