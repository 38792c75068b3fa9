#version 330 core
// Composite: adds the blurred bright part to the HDR scene, tone-maps the sum
// with a filmic curve, encodes it for display and dithers away banding.
in vec2 TexCoords;
out vec4 FragColor;

uniform sampler2D scene;
uniform sampler2D bloomBlur;
uniform int bloom;
uniform float exposure;

const float BLOOM_STRENGTH = 1.0;
// Largest linear value the curve is given: far into its shoulder.
const float MAX_LINEAR = 1024.0;
// One step of an 8-bit output channel.
const float OUTPUT_STEP = 1.0 / 255.0;

// A rational fit of the ACES filmic curve: a soft toe, a long shoulder.
vec3 filmic(vec3 x) {
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

// The sRGB transfer function: linear light to display values.
vec3 encode_srgb(vec3 linear) {
    vec3 low = linear * 12.92;
    vec3 high = 1.055 * pow(linear, vec3(1.0 / 2.4)) - 0.055;
    return mix(high, low, lessThanEqual(linear, vec3(0.0031308)));
}

// Triangular noise of one output step from the pixel position, fixed per
// pixel, against banding in slow dark gradients.
float dither(vec2 position) {
    vec2 p = fract(position * vec2(0.1031, 0.1030));
    p += dot(p, p.yx + 33.33);
    float a = fract((p.x + p.y) * p.x);
    float b = fract((p.x + 2.0 * p.y) * p.y);
    return (a + b - 1.0) * OUTPUT_STEP;
}

void main()
{
    vec3 color = texture(scene, TexCoords).rgb;
    if (bloom != 0)
        color += BLOOM_STRENGTH * texture(bloomBlur, TexCoords).rgb;
    // NaN or negative input becomes black; infinity the curve's white.
    color = min(mix(vec3(0.0), color * exposure, greaterThanEqual(color * exposure, vec3(0.0))),
                vec3(MAX_LINEAR));
    vec3 display = encode_srgb(filmic(color));
    // Pure black stays black, so the silence at the end is dark.
    float noise = dither(gl_FragCoord.xy) * step(OUTPUT_STEP, max(display.r, max(display.g, display.b)));
    FragColor = vec4(clamp(display + noise, 0.0, 1.0), 1.0);
}
