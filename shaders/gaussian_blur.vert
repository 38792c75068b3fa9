#version 330 core
// Full-screen quad for the bloom blur. Besides passing the position and
// texture coordinate through, it works out the pass's kernel, which depends
// on the image size and the axis alone, once per vertex instead of once per
// pixel (a software rasteriser would otherwise repeat it for every pixel):
// the Gaussian's weights for texels 1, 2, 3, ... merged in neighbouring pairs
// that one linear-filtered fetch takes each, placed between the two texels
// by their weights. The kernel's width is a fixed fraction of the image
// height, so the glow looks the same at every resolution; each pass covers
// every texel of its reach, so that the five passes' combined kernel is
// smooth (see gaussian_blur.frag).
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec2 aTexCoords;

out vec2 TexCoords;
// One step along the pass's axis in texture coordinates.
flat out vec2 axis;
// The first BASE_PAIRS pairs of texels to each side: their fetch positions
// (in steps from the pixel) and weights, two pairs per vector; the centre
// texel's weight; and the number of pairs the pass reaches.
flat out vec4 taps[2];
flat out float centre_weight;
flat out int pairs;
// The recurrence's state past the base pairs, for the fragment shader to go
// on texel by texel: the weight of texel 2 BASE_PAIRS, the ratio to the next
// one's and the ratio's change per texel. All weights are divided by their
// total over both sides and the centre, so that they sum to 1.
flat out vec3 tail;

uniform sampler2D image;
uniform int horizontal;

// The horizontal kernel's standard deviation per pass, in texels per
// picture height (4 at a height of 360). Each pass reaches two of them to
// each side, in pairs of texels (at most MAX_PAIRS).
const float SIGMA_PER_HEIGHT = 4.0 / 360.0;
const int MAX_PAIRS = 64;
// The pairs that the fragment shader takes with filtered fetches.
const int BASE_PAIRS = 4;
// The vertical kernel is wider, so that two vertical passes spread as far as
// three horizontal ones, and the same reach cuts it off sooner; its width is
// set so that the combined falloff is the same on both axes (within 3% of
// its peak), which makes the glow round.
const float VERTICAL_WIDER = 1.45;

void main()
{
    TexCoords = aTexCoords;
    gl_Position = vec4(aPos, 1.0);

    vec2 size = vec2(textureSize(image, 0));
    bool along_x = horizontal == 1;
    axis = along_x ? vec2(1.0 / size.x, 0.0) : vec2(0.0, 1.0 / size.y);
    float sigma_x = min(size.y * SIGMA_PER_HEIGHT, float(MAX_PAIRS));
    pairs = int(ceil(sigma_x - 0.01));
    float sigma = along_x ? sigma_x : VERTICAL_WIDER * sigma_x;
    // Gaussian weights of texels n = 1, 2, ... by recurrence: the ratio of
    // neighbours n and n + 1, exp(-(2n + 1) / (2 sigma^2)), shrinks by
    // exp(-1 / sigma^2) at each step. Far out, where the weights have run
    // down to 0, a fetch counts for nothing wherever it lands.
    float ratio = exp(-0.5 / (sigma * sigma));
    float shrink = ratio * ratio;
    float weight = 1.0;
    float total = 1.0;
    vec2 base_taps[BASE_PAIRS];
    tail = vec3(0.0, ratio, shrink);
    for (int pair = 0; pair < MAX_PAIRS; ++pair) {
        if (pair == BASE_PAIRS)
            tail = vec3(weight, ratio, shrink);
        float near = weight * ratio;
        ratio *= shrink;
        float far = near * ratio;
        ratio *= shrink;
        weight = far;
        float both = pair < pairs ? near + far : 0.0;
        if (pair < BASE_PAIRS)
            base_taps[pair] = vec2(float(2 * pair + 1) + far / max(near + far, 1.0e-30), both);
        total += 2.0 * both;
    }
    taps[0] = vec4(base_taps[0], base_taps[1]) / vec4(1.0, total, 1.0, total);
    taps[1] = vec4(base_taps[2], base_taps[3]) / vec4(1.0, total, 1.0, total);
    centre_weight = 1.0 / total;
    tail.x /= total;
}
