#version 330 core
// One step of the separable bloom blur, along x ("horizontal" = 1) or y (0).
// The pipeline runs three horizontal and two vertical passes; what matters is
// their combined kernel, a Gaussian whose width is a fixed fraction of the
// image height, so the glow looks the same at every resolution and is round.
// Each pass is a sparse kernel of linear-filtered taps: a fetch between two
// texels merges both, and the tap positions are chosen (by fitting the
// combined response of a small highlight to the Gaussian) so that the
// repeated passes fill each other's gaps instead of building up a comb. Six
// fetches per pass give the reach that a dense kernel needs three times as
// many fetches for.
// The weights sum to 1, so the blur neither adds nor loses light.
in vec2 TexCoords;
out vec4 FragColor;

uniform sampler2D image;
uniform int horizontal;

// Standard deviation per pass, as a fraction of the image height. Three
// passes along x and two along y give the same total variance on both axes:
// the vertical kernel is sqrt(3/2) wider.
const float SIGMA_X = 0.0139;
const float SIGMA_Y = SIGMA_X * 1.2247449;

// Horizontal taps: the centre and two pairs, positions in standard deviations.
// Each kernel's variance is exactly one squared standard deviation.
const float X_CENTRE_WEIGHT = 0.1396;
const vec2 X_POSITIONS = vec2(0.6342, 1.2974);
const vec2 X_WEIGHTS = vec2(0.1750, 0.2552);
// Vertical taps: three pairs of equal weight, no centre.
const vec3 Y_POSITIONS = vec3(0.4221, 0.8731, 1.4354);
const float Y_WEIGHT = 1.0 / 6.0;
// How far a pixel's tap positions stretch or shrink, as a fraction.
const float TAP_JITTER = 0.2;

vec3 fetch_pair(vec2 offset) {
    return texture(image, TexCoords + offset).rgb + texture(image, TexCoords - offset).rgb;
}

void main()
{
    // Both axes run the same three pairs of fetches, picked by selection and
    // not by branching: a software rasteriser runs both sides of a branch.
    // The horizontal centre tap is a pair at offset 0 with half its weight.
    vec2 size = vec2(textureSize(image, 0));
    bool along_x = horizontal == 1;
    vec2 sigma = along_x ? vec2(SIGMA_X * size.y / size.x, 0.0) : vec2(0.0, SIGMA_Y);
    // Each pixel stretches its taps by its own factor around 1 (interleaved
    // gradient noise over the pixel grid): the sparse taps' response to a
    // bright point, a lattice of dots at large sizes, turns into a fine grain
    // that the following passes smooth.
    float grain = fract(52.9829189 * fract(dot(gl_FragCoord.xy, vec2(0.06711056, 0.00583715))));
    sigma *= 1.0 - TAP_JITTER + 2.0 * TAP_JITTER * grain;
    vec3 positions = along_x ? vec3(X_POSITIONS, 0.0) : Y_POSITIONS;
    vec3 weights = along_x ? vec3(X_WEIGHTS, 0.5 * X_CENTRE_WEIGHT) : vec3(Y_WEIGHT);
    vec3 sum = weights.x * fetch_pair(positions.x * sigma)
             + weights.y * fetch_pair(positions.y * sigma)
             + weights.z * fetch_pair(positions.z * sigma);
    FragColor = vec4(sum, 1.0);
}
