#version 330 core
// The show: a flight through a ten-sided crystal tunnel towards a light, in
// four sections that follow the soundtrack. Everything is a function of "t"
// (0.4 x demo seconds; at 120 BPM one beat is 0.2 and one bar 0.8 in these
// units), so every frame rate shows the same picture.
// Output 0 is the HDR colour, output 1 its bright part, which feeds the bloom.
in vec2 TexCoords;
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;

uniform float t;

const float PI = 3.14159265;
const float TAU = 6.28318531;

// The soundtrack's timeline.
const float BEAT = 0.2;
const float BAR = 0.8;
const float BUILD_START = 4.8;    // 12 s: drums, rising arpeggio, filter opening
const float RISER_START = 9.6;    // 24 s: the last two bars before the drop
const float DROP = 11.2;          // 28 s: the big hit, full beat
const float CLIMAX_HALF = 14.4;   // 36 s: the climax's second half
const float ENDING_START = 17.6;  // 44 s: elements drop out
const float FADE_START = 19.6;    // 49 s: the picture follows the music to silence
const float SILENCE = 22.2;       // 55.5 s: black from here to the end

// The tunnel: a regular decagon seen down its axis.
const float SIDES = 10.0;
const float SECTOR = TAU / SIDES;
const float TUNNEL_FOCAL = 0.32;  // screen radius of a wall point one unit deep
const float RING_SPACING = 1.0;   // depth between two facet rings
const float FOG_DENSITY = 0.45;
const float NEAR_DEPTH = 0.25;    // closest wall depth a beat pulse starts from
const float FAR_DEPTH = 6.0;      // depth at which pulses are born
const float GAS_CELLS = 10.0;     // noise cells around the tunnel (its angular period)

// Line widths are fractions of the picture height, so every size looks alike.
const float SEAM_WIDTH = 0.0035;
const float RING_WIDTH = 0.003;
const float CORE_RADIUS = 0.018;

// The largest value written; half floats overflow at 65504.
const float MAX_HDR = 4096.0;
// Bright pass: a soft knee around the threshold, no hard edge.
const float BLOOM_THRESHOLD = 1.0;
const float BLOOM_KNEE = 0.5;

// Section palettes: gas on the walls, facet lines, the light at the end.
const vec3 INTRO_GAS = vec3(0.020, 0.040, 0.120);
const vec3 INTRO_LINE = vec3(0.25, 0.55, 1.00);
const vec3 INTRO_CORE = vec3(0.55, 0.80, 1.00);
const vec3 BUILD_GAS = vec3(0.090, 0.030, 0.150);
const vec3 BUILD_LINE = vec3(0.85, 0.30, 1.00);
const vec3 BUILD_CORE = vec3(1.00, 0.60, 0.90);
const vec3 CLIMAX_GAS = vec3(0.140, 0.035, 0.070);
const vec3 CLIMAX_LINE = vec3(1.00, 0.55, 0.15);
const vec3 CLIMAX_LATE_LINE = vec3(1.00, 0.30, 0.50);  // the second half turns rose
const vec3 CLIMAX_CORE = vec3(1.00, 0.85, 0.60);
const vec3 CLIMAX_ACCENT = vec3(0.25, 0.70, 1.00);
const vec3 ENDING_GAS = vec3(0.025, 0.035, 0.110);
const vec3 ENDING_LINE = vec3(0.40, 0.50, 1.00);
const vec3 ENDING_CORE = vec3(0.60, 0.70, 1.00);

// Integer hash of a lattice point, in [0, 1].
float hash(ivec2 cell) {
    uvec2 q = uvec2(cell) * uvec2(1597334673u, 3812015801u);
    uint n = (q.x ^ q.y) * 1597334673u;
    return float(n >> 8) * (1.0 / 16777215.0);
}

// Value noise that repeats every `period` cells along x (around the tunnel).
float noise(vec2 x, int period) {
    x.x = mod(x.x, float(period));
    vec2 cell = floor(x);
    vec2 f = x - cell;
    vec2 s = f * f * (3.0 - 2.0 * f);
    ivec2 i = ivec2(cell);
    int x0 = min(i.x, period - 1);
    int x1 = (x0 + 1) % period;
    float a = hash(ivec2(x0, i.y));
    float b = hash(ivec2(x1, i.y));
    float c = hash(ivec2(x0, i.y + 1));
    float d = hash(ivec2(x1, i.y + 1));
    return mix(mix(a, b, s.x), mix(c, d, s.x), s.y);
}

// Three octaves of periodic noise, in [0, 1].
float gas(vec2 x) {
    int period = int(GAS_CELLS);
    return 0.55 * noise(x, period) + 0.30 * noise(2.0 * x, 2 * period)
         + 0.15 * noise(4.0 * x, 4 * period);
}

// Distance travelled down the tunnel: the closed-form integral of a speed that
// is slow in the intro, accelerates through the build-up, lurches forward on
// every beat of the climax and dies away in the ending.
float travel(float time) {
    const float INTRO_SPEED = 0.25;
    const float BUILD_GAIN = 2.0;     // speed added by the end of the build-up
    const float CLIMAX_SPEED = 1.4;
    const float BEAT_LURCH = 0.12;    // extra distance covered at each climax beat
    const float ENDING_SPEED = 0.1;
    float build_span = DROP - BUILD_START;
    float climax_span = ENDING_START - DROP;
    float ending_span = SILENCE - ENDING_START;

    float intro = INTRO_SPEED * clamp(time, 0.0, BUILD_START);
    // Speed INTRO_SPEED + BUILD_GAIN * u^2 over the build-up.
    float b = clamp(time - BUILD_START, 0.0, build_span);
    float u = b / build_span;
    float build = INTRO_SPEED * b + BUILD_GAIN * build_span * u * u * u / 3.0;
    // Constant speed plus an eased step forward within each beat.
    float c = clamp(time - DROP, 0.0, climax_span);
    float beats = c / BEAT;
    float lurch = floor(beats) + 1.0 - pow(1.0 - fract(beats), 4.0);
    float climax = CLIMAX_SPEED * c + BEAT_LURCH * lurch;
    // Speed ENDING_SPEED + (CLIMAX_SPEED - ENDING_SPEED) * (1 - e)^2 over the ending.
    float e = clamp(time - ENDING_START, 0.0, ending_span);
    float ending = ENDING_SPEED * e
                 + (CLIMAX_SPEED - ENDING_SPEED) * ending_span / 3.0
                   * (1.0 - pow(1.0 - e / ending_span, 3.0))
                 + ENDING_SPEED * max(time - SILENCE, 0.0);
    return intro + build + climax + ending;
}

// The part of the colour above the threshold, with a quadratic knee.
vec3 bright_part(vec3 color) {
    float peak = max(color.r, max(color.g, color.b));
    float soft = clamp(peak - BLOOM_THRESHOLD + BLOOM_KNEE, 0.0, 2.0 * BLOOM_KNEE);
    soft = soft * soft / (4.0 * BLOOM_KNEE);
    float weight = max(soft, peak - BLOOM_THRESHOLD) / max(peak, 1e-4);
    return color * weight;
}

// Finite, non-negative and representable in a half float; NaN becomes 0.
vec3 sanitize(vec3 c) {
    bvec3 usable = greaterThanEqual(c, vec3(0.0));
    return min(mix(vec3(0.0), c, usable), vec3(MAX_HDR));
}

void main()
{
    // Aspect-correct coordinates: y from -0.5 to 0.5, one pixel is `pixel` high.
    vec2 texel = abs(vec2(dFdx(TexCoords.x), dFdy(TexCoords.y)));
    float pixel = max(texel.y, 1e-5);
    float aspect = texel.y / max(texel.x, 1e-5);
    vec2 p = (TexCoords - 0.5) * vec2(aspect, 1.0);

    // Section weights with short cross-fades; the drop is a cut under a flash.
    float intro = 1.0 - smoothstep(BUILD_START - 0.4, BUILD_START + 0.4, t);
    float climax = step(DROP, t) * (1.0 - smoothstep(ENDING_START - 0.4, ENDING_START + 1.2, t));
    float build = (1.0 - intro) * (1.0 - step(DROP, t));
    float ending = smoothstep(ENDING_START - 0.4, ENDING_START + 1.2, t);
    float fade = smoothstep(0.0, 1.6, t) * (1.0 - smoothstep(FADE_START, SILENCE, t));

    vec3 gas_color = intro * INTRO_GAS + build * BUILD_GAS + climax * CLIMAX_GAS + ending * ENDING_GAS;
    vec3 climax_line = mix(CLIMAX_LINE, CLIMAX_LATE_LINE,
                           smoothstep(CLIMAX_HALF - BAR, CLIMAX_HALF + BAR, t));
    vec3 line_color = intro * INTRO_LINE + build * BUILD_LINE + climax * climax_line
                    + ending * ENDING_LINE;
    vec3 core_color = intro * INTRO_CORE + build * BUILD_CORE + climax * CLIMAX_CORE
                    + ending * ENDING_CORE;

    // Beat clock: a sharp attack on every beat, decaying within it.
    float beat_phase = fract(t / BEAT);
    float beat_index = floor(t / BEAT);
    float kick = exp(-6.0 * beat_phase);
    bool downbeat = mod(beat_index, 4.0) < 0.5;
    float drums_out = smoothstep(ENDING_START + 2.0 * BAR, ENDING_START + 4.0 * BAR, t);
    float drums = step(BUILD_START, t) * (1.0 - drums_out)
                * mix(0.45, 1.0, max(smoothstep(BUILD_START, DROP, t), climax));
    float accent = drums * kick * (downbeat ? 1.3 : 1.0);
    // The filter opening: the crystal's lines sharpen and brighten over the build-up.
    float opening = smoothstep(BUILD_START - 0.8, DROP, t);
    float riser = smoothstep(RISER_START, DROP, t) * (1.0 - step(DROP, t));
    float flash = step(DROP, t) * exp(-8.0 * (t - DROP));

    // The camera drifts and rolls slowly; the roll quickens with the music.
    p -= 0.04 * vec2(sin(0.37 * t), cos(0.29 * t)) * (1.0 - riser);
    float roll = 0.08 * t + 0.25 * smoothstep(BUILD_START, ENDING_START, t) * t;

    float r = length(p);
    float angle = atan(p.y, p.x) + roll;
    float side_angle = mod(angle, SECTOR) - 0.5 * SECTOR;  // angle from the side's middle
    float side = mod(floor(angle / SECTOR), SIDES);
    float apothem = max(r * cos(side_angle), 1e-4);
    float depth = TUNNEL_FOCAL / apothem;
    float along = depth + travel(t);
    float fog = exp(-FOG_DENSITY * depth);
    float depth_step = fwidth(along);

    // Walls: drifting gas whose wisps take the colour of the lines; the noise
    // coordinates wrap around the tunnel.
    vec2 wall = vec2(angle / TAU * GAS_CELLS, along * 0.8);
    float cloud = gas(wall + vec2(0.0, 0.15 * t));
    float wisps = cloud * cloud * cloud;
    vec3 color = (gas_color * (0.05 + 0.6 * cloud) + line_color * 0.25 * wisps)
               * (0.15 + 0.85 * fog) * (1.0 + 0.4 * accent);

    // Facet rings across the tunnel and seams along its edges, faded where the
    // rings crowd together towards the centre.
    float ring_distance = abs(fract(along / RING_SPACING + 0.5) - 0.5) * RING_SPACING;
    float ring_width = (mix(2.5, 1.0, opening) * RING_WIDTH / pixel + 1.0) * depth_step;
    float ring = exp(-pow(ring_distance / ring_width, 2.0)) * clamp(1.0 - 2.0 * depth_step, 0.0, 1.0);
    float seam_distance = (0.5 * SECTOR - abs(side_angle)) * r;
    float seam_width = mix(2.0, 1.0, opening) * SEAM_WIDTH + pixel;
    float seam = exp(-pow(seam_distance / seam_width, 2.0));
    float lines_on = max(opening, 0.15 * intro) * (1.0 - smoothstep(ENDING_START, ENDING_START + 2.4, t));
    float line_strength = lines_on * (0.5 + 1.0 * opening + 2.5 * accent);
    color += line_color * (ring + seam) * line_strength * fog;

    // Beat pulse: a ring of light rushes from the far end towards the viewer.
    float pulse_depth = mix(FAR_DEPTH, NEAR_DEPTH, sqrt(beat_phase));
    float pulse = exp(-pow((depth - pulse_depth) / (0.15 * pulse_depth), 2.0));
    color += mix(line_color, vec3(1.0), 0.3) * pulse * drums * (1.0 - beat_phase) * 2.0 * fog;

    // Arpeggio of the build-up: every eighth note a spark runs along one seam
    // into the depth, going round the ten sides.
    float note_phase = fract(t / (0.5 * BEAT));
    float note_side = mod(floor(t / (0.5 * BEAT)) * 3.0, SIDES);
    float spark_depth = mix(NEAR_DEPTH, 3.0, note_phase);
    float spark = (side == note_side ? 1.0 : 0.0) * seam
                * exp(-pow((depth - spark_depth) / (0.2 * spark_depth), 2.0));
    color += BUILD_LINE * spark * 8.0 * (1.0 - note_phase) * build * smoothstep(BUILD_START, BUILD_START + BAR, t);

    // Light beams from the centre in the climax, flaring on the backbeats.
    float beams = pow(0.5 + 0.5 * cos(5.0 * angle - 1.3 * t), 12.0)
                + pow(0.5 + 0.5 * cos(3.0 * angle + 0.9 * t + 1.0), 16.0);
    float backbeat = downbeat ? 0.0 : kick;
    color += mix(CLIMAX_ACCENT, CLIMAX_CORE, 0.5 * beams) * beams * (0.6 + 1.2 * backbeat) * climax
           / (1.0 + 6.0 * r) * smoothstep(0.02, 0.12, r);

    // The light at the end of the tunnel, born in the intro, swelling in the
    // riser, pulsing on the beat and shrinking in the ending.
    float core_size = CORE_RADIUS * (0.4 + 0.6 * smoothstep(0.0, BUILD_START, t) + 2.0 * riser
                                     + 0.5 * accent) * (1.0 - 0.6 * ending);
    float core = core_size * core_size / (r * r + core_size * core_size) * exp(-4.0 * r);
    float star = pow(abs(cos(5.0 * (angle - 2.0 * roll))), 40.0) * exp(-r / (3.0 * core_size));
    color += core_color * (core * (6.0 + 20.0 * riser + 6.0 * accent) + star * 2.0);

    // The hit at the drop: a white flash over everything, fading within a bar.
    color += vec3(1.0, 0.95, 0.85) * flash * (3.0 + 8.0 * exp(-r * 3.0));
    // Riser streaks: the walls blur into light as the drop approaches.
    color += line_color * riser * riser * cloud * 1.2 * fog;

    color = sanitize(color * fade);
    FragColor = vec4(color, 1.0);
    BrightColor = vec4(sanitize(bright_part(color)), 1.0);
}
