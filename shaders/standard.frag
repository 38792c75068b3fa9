#version 330 core
// A stone of the gem field shaded as a cut diamond in the show's light. Each
// facet is flat, so what it shows is what its reflection and its light path
// through the stone see of the studio around it: mostly the dark room, so
// that facets go near-black, or one of its lights, so that they flash
// bright. Fresnel weighs the mirrored light against the light that comes
// back out through the stone, after one bounce on an inner facet; that light
// leaves at a slightly different angle per colour channel (the fire), so the
// key light splits into coloured flashes as the stone turns, and its hot
// core makes glints whose bright part the bloom turns into glow.
// Output 0 is the HDR colour, output 1 its bright part.
in vec3 to_eye;
flat in vec3 normal;
flat in vec3 tint;
flat in mat3 stone_turn;
flat in vec3 key_dir;
flat in vec3 key_color;
flat in vec3 rim_dir;
flat in vec3 rim_color;
flat in vec3 dome_color;
flat in float fade;
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;

// A diamond's refractive indices per colour channel, spread wider for more
// fire (as the show's), and how much wider still the fire is drawn.
const vec3 IOR = vec3(2.30, 2.42, 2.58);
const float FIRE_SPREAD = 4.0;
// The inner facet the light bounces on: a pavilion facet across the axis,
// in the stone's own frame (y is its axis).
const vec3 PAVILION_TILT = vec3(0.0, -0.72, 0.0);

// The studio, as the show's stones see it.
const float DOME_FLOOR = 0.03;
const float DOME_RISE = 0.1;
const float KEY_PEAK = 30.0;
const float KEY_SHARPNESS = 500.0;
const float KEY_HALO = 0.15;
const float STRIP_GAIN = 1.6;
const float STRIP_EDGE = 4.0;
const float STRIP_SLOPE = STRIP_EDGE * 14.0;
// The fire's lobe around the key light: wider than its core, so that the
// coloured flashes come often.
const float FIRE_SHARPNESS = 90.0;
const float FIRE_GAIN = 1.5;

// Bright pass: a soft knee around the threshold; the most light one pixel
// gives the bloom.
const float BLOOM_THRESHOLD = 1.0;
const float BLOOM_KNEE = 0.5;
const float BLOOM_MAX = 16.0;
const float MAX_HDR = 4096.0;

// What a ray leaving a stone sees, as in the show: a dark studio with a
// faint floor of soft light, strip lights whose hard edges cut the facets
// into bright and near-black, the rim light's lobe and the key light with
// its hot core.
vec3 environment(vec3 dir) {
    float up = max(dir.y, 0.0);
    vec3 color = dome_color * (DOME_FLOOR + DOME_RISE * up);
    vec2 across = clamp(STRIP_EDGE - STRIP_SLOPE * abs(dir.xx - vec2(0.35, -0.45)), 0.0, 1.0);
    color += key_color * STRIP_GAIN * (across.x + across.y) * (0.3 + up);
    float rim = max(1.0 - 12.0 * (1.0 - dot(dir, rim_dir)), 0.0);
    color += rim_color * rim * rim;
    float key = dot(dir, key_dir);
    float halo = max(key, 0.0) * max(key, 0.0);
    color += key_color * (KEY_PEAK * exp2(KEY_SHARPNESS * (key - 1.0)) + KEY_HALO * halo * halo);
    return color;
}

// Schlick's reflectance for light meeting a facet at cos_i from the air.
float fresnel(float cos_i) {
    float r0 = (IOR.g - 1.0) / (IOR.g + 1.0);
    r0 *= r0;
    float k = 1.0 - cos_i;
    return r0 + (1.0 - r0) * k * k * k * k * k;
}

vec3 bright_part(vec3 color) {
    float peak = max(color.r, max(color.g, color.b));
    float soft = clamp(peak - BLOOM_THRESHOLD + BLOOM_KNEE, 0.0, 2.0 * BLOOM_KNEE);
    soft = soft * soft / (4.0 * BLOOM_KNEE);
    return color * max(soft, peak - BLOOM_THRESHOLD) / max(peak, 1e-4);
}

void main()
{
    vec3 v = normalize(to_eye);
    vec3 n = normalize(normal);
    float facing = max(dot(n, v), 0.0);
    float reflected = fresnel(facing);
    vec3 color = reflected * environment(reflect(-v, n));

    // Into the stone, off the inner facet across the axis from this one, and
    // out again, each colour channel at its own angle: each sees the studio
    // along its own way out, so that the strip lights' hard edges and the key
    // light split into coloured flashes (the fire) as the stone turns.
    vec3 local = transpose(stone_turn) * n;
    vec3 inner = stone_turn * normalize(vec3(-local.x, 0.0, -local.z) + PAVILION_TILT);
    vec3 out_g = reflect(refract(-v, n, 1.0 / IOR.g), inner);
    vec3 out_r = normalize(out_g + FIRE_SPREAD * (reflect(refract(-v, n, 1.0 / IOR.r), inner) - out_g));
    vec3 out_b = normalize(out_g + FIRE_SPREAD * (reflect(refract(-v, n, 1.0 / IOR.b), inner) - out_g));
    vec3 through = vec3(environment(out_r).r, environment(out_g).g, environment(out_b).b);
    vec3 fire = vec3(dot(out_r, key_dir), dot(out_g, key_dir), dot(out_b, key_dir));
    through += key_color * FIRE_GAIN * exp2(FIRE_SHARPNESS * (fire - 1.0));
    color += (1.0 - reflected) * tint * through;

    // Finite and non-negative, as the blur would spread a NaN: NaN becomes 0.
    color *= fade;
    color = min(mix(vec3(0.0), color, greaterThanEqual(color, vec3(0.0))), vec3(MAX_HDR));
    FragColor = vec4(color, 1.0);
    BrightColor = vec4(min(bright_part(color), vec3(BLOOM_MAX)), 1.0);
}
