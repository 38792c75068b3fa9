#version 330 core
// Full-screen quad for the bloom blur. Besides passing the position and
// texture coordinate through, it works out the pass's kernel, which depends
// on the image size and the axis alone, once per vertex instead of once per
// pixel (a software rasteriser would otherwise repeat it for every pixel):
// the Gaussian's weights for the centre texel and texels 1 to 2 PAIRS on
// each side, merged in neighbouring pairs that one linear-filtered fetch
// takes each, placed between the two texels by their weights (see
// gaussian_blur.frag).
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec2 aTexCoords;

out vec2 TexCoords;
// One step along the pass's axis in texture coordinates.
flat out vec2 axis;
// The pairs of texels to each side: their fetch positions (in steps from the
// pixel) and weights, two pairs per vector; and the centre texel's weight.
// The weights of both sides and the centre sum to 1.
flat out vec4 taps[2];
flat out float centre_weight;

uniform sampler2D image;
uniform int horizontal;

// The pairs of texels each pass takes to each side (as in gaussian_blur.frag).
const int PAIRS = 4;
// The horizontal kernel's standard deviation per pass, in texels per
// picture height, so that the glow keeps its size in the picture; each pass
// reaches two of them to each side. Beyond a height of 360 the four pairs
// hold no more: the kernel keeps their width, and the glow gets narrower in
// the picture rather than grainy.
const float SIGMA_PER_HEIGHT = 4.0 / 360.0;
const float MAX_SIGMA = float(PAIRS);
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
    float sigma = min(size.y * SIGMA_PER_HEIGHT, MAX_SIGMA) * (along_x ? 1.0 : VERTICAL_WIDER);
    // Gaussian weights of texels n = 1, 2, ... by recurrence: the ratio of
    // neighbours n and n + 1, exp(-(2n + 1) / (2 sigma^2)), shrinks by
    // exp(-1 / sigma^2) at each step. Where the weights have run down to 0
    // (a tiny image), a fetch counts for nothing wherever it lands.
    float ratio = exp(-0.5 / (sigma * sigma));
    float shrink = ratio * ratio;
    float weight = 1.0;
    float total = 1.0;
    vec2 pair_taps[PAIRS];
    for (int pair = 0; pair < PAIRS; ++pair) {
        float near = weight * ratio;
        ratio *= shrink;
        float far = near * ratio;
        ratio *= shrink;
        weight = far;
        pair_taps[pair] = vec2(float(2 * pair + 1) + far / max(near + far, 1.0e-30), near + far);
        total += 2.0 * (near + far);
    }
    taps[0] = vec4(pair_taps[0], pair_taps[1]) / vec4(1.0, total, 1.0, total);
    taps[1] = vec4(pair_taps[2], pair_taps[3]) / vec4(1.0, total, 1.0, total);
    centre_weight = 1.0 / total;
}
