#version 330 core
// Full-screen quad for the bloom blur. Besides passing the position and
// texture coordinate through, it works out the pass's fetches, which depend
// on the image size and the pass alone, once per vertex instead of once per
// pixel: the centre texel and four pairs of offsets on either side of it,
// with their weights (see gaussian_blur.frag).
//
// The glow's width is a fixed fraction of the picture height at every size,
// and the same across and down. Nine fetches a pass cannot cover every texel
// of so wide a kernel, so the passes sample at spacings that grow with the
// height and from pass to pass, each one finely enough for what the passes
// before it have already smoothed. The first pass spreads the light a
// little on both axes at once, on a 3x3 grid; the four after it run down and
// across, two at one spacing and two at a wider one. Each axis thus goes
// through the same three kernels, so the glow is round.
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec2 aTexCoords;

out vec2 TexCoords;
// The pairs' offsets in texture coordinates, their weights, and the centre
// texel's weight; the weights of both sides and the centre sum to 1.
flat out vec2 offsets[4];
flat out vec4 pair_weights;
flat out float centre_weight;

uniform sampler2D image;
uniform int horizontal;
// The pass's place among the five (0 to 4).
uniform int blur_pass;

// The picture height at which the spacings below are in texels.
const float REFERENCE_HEIGHT = 360.0;
// The first pass's grid: its spacing, and its turn against the axes. Turned
// so, its nine points fall on nine different columns and rows, and the
// passes that follow do not line up with its gaps. Binomial weights 1 2 1
// along both of its sides.
const float GRID_SPACING = 1.46;
const vec2 GRID_TURN = vec2(5.0, 2.0) / sqrt(29.0);
// The spacing of the second and third passes, and of the fourth and fifth.
// Neither is near a multiple of the other or of the grid's columns, where
// the gaps of two passes would fall together and show as ripples.
const float LINE_SPACING[2] = float[2](1.12, 3.99);
// The line passes' Gaussian: its standard deviation, in fetches.
const float LINE_SIGMA = 1.5;

void main()
{
    TexCoords = aTexCoords;
    gl_Position = vec4(aPos, 1.0);

    vec2 size = vec2(textureSize(image, 0));
    float scale = size.y / REFERENCE_HEIGHT;
    if (blur_pass == 0) {
        vec2 across = GRID_SPACING * scale * GRID_TURN / size;
        vec2 down = GRID_SPACING * scale * vec2(-GRID_TURN.y, GRID_TURN.x) / size;
        offsets[0] = across;
        offsets[1] = down;
        offsets[2] = across + down;
        offsets[3] = across - down;
        pair_weights = vec4(2.0, 2.0, 1.0, 1.0) / 16.0;
        centre_weight = 4.0 / 16.0;
        return;
    }
    vec2 axis = horizontal == 1 ? vec2(1.0 / size.x, 0.0) : vec2(0.0, 1.0 / size.y);
    vec2 spacing = LINE_SPACING[(blur_pass - 1) / 2] * scale * axis;
    vec4 k = vec4(1.0, 2.0, 3.0, 4.0);
    pair_weights = exp(-k * k / (2.0 * LINE_SIGMA * LINE_SIGMA));
    float total = 1.0 + 2.0 * dot(pair_weights, vec4(1.0));
    pair_weights /= total;
    centre_weight = 1.0 / total;
    for (int pair = 0; pair < 4; ++pair)
        offsets[pair] = float(pair + 1) * spacing;
}
