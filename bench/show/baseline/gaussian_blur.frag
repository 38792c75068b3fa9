#version 330 core
// One step of the separable bloom blur, along x ("horizontal" = 1) or y (0).
// The kernel is a Gaussian whose width is a fixed fraction of the image
// height, so the glow has the same look at every resolution: the taps keep
// their count and spread with the image. They sit between texels and use the
// linear filter, so each fetch averages a neighbourhood; they are dense near
// the centre and spread out where the weights are small, and their irregular
// spacing keeps the repeated passes from building up a comb. The weights are
// normalised to sum to 1, so the blur neither adds nor loses light.
in vec2 TexCoords;
out vec4 FragColor;

uniform sampler2D image;
uniform int horizontal;

// Standard deviation per pass, as a fraction of the image height. The
// pipeline runs three horizontal and two vertical passes; the vertical kernel
// is sqrt(3/2) wider, so that the combined glow is round.
const float SIGMA_X = 0.0139;
const float SIGMA_Y = SIGMA_X * 1.2247449;
const float EXTENT_IN_SIGMAS = 3.0;
// Taps on each side of the centre; a constant count lets the compiler fold
// every position and weight below into constants.
const int TAPS = 4;
// Tap boundaries grow from the centre outwards as (i / TAPS)^TAP_GROWTH.
const float TAP_GROWTH = 1.5;

void main()
{
    vec2 size = vec2(textureSize(image, 0));
    bool along_x = horizontal == 1;
    float sigma = (along_x ? SIGMA_X : SIGMA_Y) * size.y;  // in texels
    vec2 axis = along_x ? vec2(1.0 / size.x, 0.0) : vec2(0.0, 1.0 / size.y);
    vec2 extent = EXTENT_IN_SIGMAS * sigma * axis;

    // Positions are fractions of the extent. Tap i stands for the stretch
    // between two boundaries: it sits in its middle and is weighted by the
    // Gaussian there times the stretch's length. The centre tap covers
    // [-inner, inner].
    float count = float(TAPS) + 0.5;
    float inner = pow(0.5 / count, TAP_GROWTH);
    vec3 sum = texture(image, TexCoords).rgb * 2.0 * inner;
    float total = 2.0 * inner;
    float lower = inner;
    for (int i = 1; i <= TAPS; ++i) {
        float upper = pow((float(i) + 0.5) / count, TAP_GROWTH);
        float position = 0.5 * (lower + upper);
        float x = EXTENT_IN_SIGMAS * position;  // in standard deviations
        float weight = exp(-0.5 * x * x) * (upper - lower);
        sum += weight * (texture(image, TexCoords + position * extent).rgb
                         + texture(image, TexCoords - position * extent).rgb);
        total += 2.0 * weight;
        lower = upper;
    }
    FragColor = vec4(sum / total, 1.0);
}
