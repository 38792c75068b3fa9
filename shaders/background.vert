#version 330 core
// Full-screen quad for the show. Besides passing the position and texture
// coordinate through, it works out everything of the frame that depends on
// "t" alone (the section, the beat, the light, the camera and the hero
// stone's pose) once per vertex instead of once per pixel, and hands it to
// the fragment shader as flat values: a software rasteriser would otherwise
// repeat that work for every pixel. "t" is 0.4 x demo seconds; at 120 BPM one
// beat is 0.2 and one bar 0.8 in these units.
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec2 aTexCoords;

out vec2 TexCoords;
// The show's light: a key light with a hot core, a rim light opposite it and
// a dome of soft light, each with its colour.
flat out vec3 key_dir;
flat out vec3 key_color;
flat out vec3 rim_dir;
flat out vec3 rim_color;
flat out vec3 dome_color;
// The strip lights that the stones mirror, in the key light's colour
// (dimmer inside the stone, where the whole picture is seen through facets).
flat out vec3 strip_color;
// The backdrop's sun (direction and colour) and the backdrop's brightness.
flat out vec3 sun_dir;
flat out vec3 sun_color;
flat out float sky_gain;
// Which section plays: intro, build-up, climax, ending (one of them is 1).
flat out vec4 section;
// The beat: drum accent, the climax backdrop's pulse, the phase within the
// beat, and the build-up's filter opening.
flat out vec4 beat;
// The flash at the drop and the fade in and out.
flat out vec2 finish;
// The camera's eye and focal length (picture heights), its orientation
// (camera to world; the lens looks down -z), and how far the climax's camera
// has flown into the field.
flat out vec4 camera;
flat out mat3 lens_turn;
flat out float travel;
// The build-up's lines of light along the stone's edges: their colour (black
// in the other sections), and the height in the stone of the ring of light
// that runs down them from the table to the culet on every beat.
flat out vec3 edge_color;
flat out float ring_height;
// The spin that every stone of the climax's field turns with, each about its
// own axis.
flat out mat3 field_spin;
// The hero stone's orientation and tint (absorption per unit path).
flat out mat3 hero_turn;
flat out vec3 hero_tint;

uniform float t;
// Explore mode (non-zero): the sky through the explorer's camera, turned by
// view_turn (camera to world). Unset, the show.
uniform int explore;
uniform mat3 view_turn;

const float PI = 3.14159265;

// The soundtrack's timeline.
const float BEAT = 0.2;
const float BAR = 0.8;
const float BUILD_START = 4.8;    // 12 s: drums, rising arpeggio, filter opening
const float RISER_START = 9.6;    // 24 s: the last two bars before the drop
const float DROP = 11.2;          // 28 s: the big hit, full beat
const float ENDING_START = 17.6;  // 44 s: elements drop out
const float FADE_START = 19.6;    // 49 s: the picture follows the music to silence
const float SILENCE = 22.2;       // 55.5 s: black from here to the end

// Cameras: focal lengths in picture heights.
const float INTRO_FOCAL = 1.5;
const float INTRO_DISTANCE = 4.5;  // the stone's centre from the camera once it faces it
const float INTRO_FACING = 3.6;    // when the turn towards the camera ends
const float INSIDE_FOCAL = 0.7;
// The build-up's camera inside the stone: where its dive starts above the
// table, how far out from the axis it drifts, and its turn about the axis
// on every beat (radians).
const float INSIDE_DIVE_FROM = 1.4;
const float INSIDE_RADIUS = 0.3;
const float INSIDE_ORBIT = 0.12;
const float FIELD_FOCAL = 1.0;
const float ENDING_FOCAL = 1.6;
// Explore mode's lens: 45 degrees vertical, 0.5 / tan(22.5 degrees) picture
// heights; its backdrop dimmed to a night over the field.
const float EXPLORE_FOCAL = 1.2071068;
const float SKY_BACK = 0.4;

// Section palettes: the key light, the rim light, the dome and the stone's tint.
const vec3 INTRO_KEY = vec3(0.80, 0.90, 1.00);
const vec3 INTRO_RIM = vec3(0.20, 0.50, 1.20);
const vec3 INTRO_DOME = vec3(1.00, 1.25, 2.00);
const vec3 INTRO_TINT = vec3(0.10, 0.05, 0.00);
const vec3 BUILD_KEY = vec3(1.00, 0.70, 1.00);
const vec3 BUILD_RIM = vec3(1.20, 0.30, 0.90);
const vec3 BUILD_DOME = vec3(0.35, 0.16, 0.50);
const vec3 BUILD_TINT = vec3(0.05, 0.25, 0.02);
const vec3 CLIMAX_KEY = vec3(1.00, 0.85, 0.60);
const vec3 CLIMAX_RIM = vec3(0.25, 0.70, 1.00);
const vec3 CLIMAX_DOME = vec3(0.30, 0.30, 0.42);
const vec3 CLIMAX_SUN_DIR = vec3(0.196, 0.118, -0.973);  // ahead, a little up and right
const vec3 CLIMAX_SUN = vec3(1.00, 0.70, 0.45);
const vec3 ENDING_KEY = vec3(1.00, 0.75, 0.55);
const vec3 ENDING_RIM = vec3(0.50, 0.40, 1.00);
const vec3 ENDING_DOME = vec3(0.30, 0.22, 0.40);
const vec3 ENDING_TINT = vec3(0.02, 0.06, 0.12);
const float STRIP_GAIN = 1.6;
const vec3 BUILD_LINE = vec3(0.85, 0.35, 1.00);

mat3 rotate_x(float a) {
    float c = cos(a), s = sin(a);
    return mat3(1.0, 0.0, 0.0, 0.0, c, s, 0.0, -s, c);
}

mat3 rotate_y(float a) {
    float c = cos(a), s = sin(a);
    return mat3(c, 0.0, -s, 0.0, 1.0, 0.0, s, 0.0, c);
}

mat3 rotate_z(float a) {
    float c = cos(a), s = sin(a);
    return mat3(c, s, 0.0, -s, c, 0.0, 0.0, 0.0, 1.0);
}

// A count of beats that steps forward on every beat with an eased lurch and
// rests until the next one.
float on_beats(float beats) {
    return floor(beats) + 1.0 - pow(1.0 - fract(beats), 4.0);
}

// Distance flown through the field by the climax's camera: a steady speed
// plus an eased step forward on every beat.
float field_travel(float time) {
    const float SPEED = 4.0;
    const float BEAT_LURCH = 1.2;
    return SPEED * max(time - DROP, 0.0) + BEAT_LURCH * on_beats(max(time - DROP, 0.0) / BEAT);
}

// The build-up's camera, `since` after its start, in the stone's frame (y its
// axis, the table at the top, the culet at y = -1). Bar 1: it dives through
// the table, looking down. Bars 2-4: inside, it drifts out from the axis and
// down into the pavilion, looking across the stone at the facets that close
// towards the culet. Bar 5: it turns to look up. Bars 6-8: it climbs back
// towards the table, looking up through it at the light. It circles the axis
// in a step on every beat.
void inside_camera(float since, out vec3 eye, out mat3 turn) {
    float dive = smoothstep(0.0, BAR, since);
    float pavilion = smoothstep(BAR, 4.0 * BAR, since);
    float turn_up = smoothstep(4.0 * BAR, 5.0 * BAR, since);
    float climb = smoothstep(5.0 * BAR, 8.0 * BAR, since);
    float around = INSIDE_ORBIT * on_beats(since / BEAT);
    float radius = INSIDE_RADIUS * pavilion * (1.0 - 0.5 * turn_up);
    float height = mix(INSIDE_DIVE_FROM, -0.05, dive) - 0.4 * pavilion - 0.25 * turn_up + 0.4 * climb;
    eye = vec3(radius * cos(around), height, radius * sin(around));
    // Looking across the axis, pitched from straight down to nearly straight up.
    float pitch = -0.5 * PI + 0.8 * pavilion + 2.0 * turn_up + 0.2 * climb;
    turn = rotate_y(0.5 * PI - around) * rotate_x(pitch);
}

void main()
{
    TexCoords = aTexCoords;
    gl_Position = vec4(aPos, 1.0);

    float intro = 1.0 - step(BUILD_START, t);
    float build = step(BUILD_START, t) * (1.0 - step(DROP, t));
    float climax = step(DROP, t) * (1.0 - step(ENDING_START, t));
    float ending = step(ENDING_START, t);
    section = vec4(intro, build, climax, ending);

    // Beat clock: a sharp attack on every beat, decaying within it; the
    // drums play from the build-up to the first bars of the ending.
    float beat_phase = fract(t / BEAT);
    float kick = exp(-6.0 * beat_phase);
    bool downbeat = mod(floor(t / BEAT), 4.0) < 0.5;
    float drums = step(BUILD_START, t) * (1.0 - step(ENDING_START + 2.0 * BAR, t))
                * mix(0.45, 1.0, smoothstep(BUILD_START, DROP, t));
    float accent = drums * kick * (downbeat ? 1.3 : 1.0);
    float riser = smoothstep(RISER_START, DROP, t) * (1.0 - step(DROP, t));
    beat = vec4(accent, kick * (downbeat ? 1.0 : 0.5), beat_phase, smoothstep(BUILD_START, DROP, t));
    finish = vec2(step(DROP, t) * exp(-8.0 * (t - DROP)),
                  smoothstep(0.0, 1.6, t) * (1.0 - smoothstep(FADE_START, SILENCE, t)));

    // The key circles above the stone, rises through the intro, pulses with
    // the drums, swells in the riser and dims in the ending.
    float orbit = 0.3 * t + 0.8;
    float rise = mix(-0.2, 0.75, smoothstep(0.0, 3.2, t));
    // In the climax it is the light ahead that the camera flies towards,
    // shining through the stones.
    key_dir = climax > 0.0 ? CLIMAX_SUN_DIR : normalize(vec3(cos(orbit), rise, sin(orbit) + 1.2));
    rim_dir = normalize(vec3(-key_dir.x, 0.3, -0.8));
    key_color = (intro * INTRO_KEY + build * BUILD_KEY + climax * CLIMAX_KEY + ending * ENDING_KEY)
              * (1.0 + 0.8 * accent + 2.0 * riser) * (1.0 - 0.7 * smoothstep(ENDING_START, SILENCE, t));
    rim_color = intro * INTRO_RIM + build * BUILD_RIM + climax * CLIMAX_RIM + ending * ENDING_RIM;
    dome_color = intro * INTRO_DOME + build * BUILD_DOME + climax * CLIMAX_DOME + ending * ENDING_DOME;
    strip_color = key_color * STRIP_GAIN * (1.0 - 0.6 * build);

    // Cameras. Intro: closing in on the stone as it turns to face it, then
    // still. Build-up: inside the stone (inside_camera). Climax: at the
    // origin of the field's frame, flying down -z and rolling. Ending:
    // drawing away from the stone.
    float turn = smoothstep(0.0, INTRO_FACING, t);
    float away = 3.2 * exp(0.6 * (t - ENDING_START));
    vec3 inside_eye;
    mat3 inside_turn;
    inside_camera(t - BUILD_START, inside_eye, inside_turn);
    vec3 eye = intro * vec3(0.0, 0.0, mix(6.5, INTRO_DISTANCE, turn))
             + build * inside_eye
             + ending * vec3(-0.08, -0.05, 1.0) * away;
    float focal = intro * INTRO_FOCAL + build * INSIDE_FOCAL + climax * FIELD_FOCAL
                + ending * ENDING_FOCAL;
    camera = vec4(eye, focal);
    float roll = climax * (0.15 * (t - DROP) + 0.3 * sin(0.7 * (t - DROP)));
    lens_turn = build > 0.0 ? inside_turn : rotate_z(roll);
    travel = field_travel(t);
    // The edges glow brighter as the filter opens and flash on the drums.
    edge_color = build * BUILD_LINE * (0.25 + 0.6 * beat.w + 1.2 * accent);
    ring_height = 0.2 - 1.4 * sqrt(beat_phase);
    field_spin = rotate_y(2.0 * (t - DROP));

    // The hero stone turns from its profile to face the camera in the intro,
    // stands upright in the build-up and is seen from above in the ending.
    hero_turn = rotate_x(intro * 0.5 * PI * turn + ending * 0.9)
              * rotate_y((intro * 0.35 + ending * 0.4) * t);
    hero_tint = intro * INTRO_TINT + build * BUILD_TINT + ending * ENDING_TINT;

    // The climax's sun ahead, swelling on the beat.
    sun_dir = CLIMAX_SUN_DIR;
    sun_color = climax * CLIMAX_SUN * (1.0 + beat.y);
    sky_gain = 1.0;
    // Explore mode: the explorer's camera instead of the show's moves and
    // rolls, and the sun (in the climax the show's, in the other sections the
    // key light that the field's stones glint with) turned into its frame.
    if (explore != 0) {
        camera = vec4(0.0, 0.0, 0.0, EXPLORE_FOCAL);
        lens_turn = mat3(1.0);
        sun_dir = transpose(view_turn) * (climax > 0.0 ? CLIMAX_SUN_DIR : key_dir);
        sun_color = SKY_BACK * (climax > 0.0 ? sun_color : key_color);
        sky_gain = SKY_BACK;
    }
}
