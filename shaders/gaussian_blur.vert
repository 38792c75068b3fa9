#version 330 core
// Full-screen quad for the bloom blur. Besides passing the position and
// texture coordinate through, it works out the pass's fetches, which depend
// on the image size and the pass alone, once per vertex instead of once per
// pixel: the centre texel and a ring of six around it, three pairs on
// opposite sides, with their weights (see gaussian_blur.frag).
//
// The glow's width is a fixed fraction of the picture height at every size,
// and the same across and down. Seven fetches a pass cannot cover every
// texel of so wide a kernel, so every pass samples a hexagon whose radius
// grows with the height and from pass to pass, each one no wider than what
// the passes before it have already smoothed can fill. A hexagon spreads
// light alike in every direction up to its sixfold pattern, and the passes
// turn their hexagons against each other so that those patterns cancel: the
// glow is round. The centre weight keeps each pass's middle from dipping.
// The radii, turns and centre weights were fitted to make the glow of a
// bright disc round and smooth at 640x360, 1280x720 and 1920x1080.
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec2 aTexCoords;

out vec2 TexCoords;
// The ring's three pairs of offsets in texture coordinates, and the weights
// of the centre texel and of each ring fetch (the seven sum to 1).
flat out vec2 offsets[3];
flat out float centre_weight;
flat out float ring_weight;

uniform sampler2D image;
// The pass's place among the five (0 to 4).
uniform int blur_pass;

// The picture height at which the radii below are in texels.
const float REFERENCE_HEIGHT = 360.0;
// Per pass: the hexagon's radius, its turn (degrees from the x axis to its
// first corner) and the centre texel's share of the light.
const float RING_RADIUS[5] = float[5](2.11, 2.97, 4.81, 5.81, 5.17);
const float RING_TURN[5] = float[5](28.0, 15.0, 29.0, 16.0, 9.0);
const float CENTRE_SHARE[5] = float[5](0.18, 0.22, 0.17, 0.27, 0.11);

void main()
{
    TexCoords = aTexCoords;
    gl_Position = vec4(aPos, 1.0);

    vec2 size = vec2(textureSize(image, 0));
    float radius = RING_RADIUS[blur_pass] * size.y / REFERENCE_HEIGHT;
    for (int pair = 0; pair < 3; ++pair) {
        float angle = radians(RING_TURN[blur_pass] + 60.0 * float(pair));
        offsets[pair] = radius * vec2(cos(angle), sin(angle)) / size;
    }
    centre_weight = CENTRE_SHARE[blur_pass];
    ring_weight = (1.0 - centre_weight) / 6.0;
}
