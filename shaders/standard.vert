#version 330 core
// The stones of explore mode's gem field. Each vertex of the scene's vertex
// store belongs to stone gl_VertexID / stone_vertices, whose placement comes
// from a 2D float texture: it is turned about its own axis by its angle plus
// its spin (degrees per second of demo time), moved to its position and seen
// through the scene camera. The show's section lights, which depend on "t"
// alone, are worked out here as flat values as in the show's vertex shader,
// so that the stones shine in the same light as the sky behind them.
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec3 aNormal;

uniform mat4 view;
uniform mat4 projection;
uniform float t;  // 0.4 x demo seconds, as the show's
uniform int stone_vertices;
// Per stone three texels: position and angle, axis and spin speed, colour;
// texel i of the run lies in row i / width, column i % width.
uniform sampler2D stones;

out vec3 to_eye;
flat out vec3 normal;
flat out vec3 tint;
// The stone's own frame in the world, for its inner facets.
flat out mat3 stone_turn;
flat out vec3 key_dir;
flat out vec3 key_color;
flat out vec3 rim_dir;
flat out vec3 rim_color;
flat out vec3 dome_color;
flat out float fade;

const float SECONDS_PER_T = 2.5;

// The soundtrack's timeline and the section palettes, as in the show.
const float BEAT = 0.2;
const float BUILD_START = 4.8;
const float RISER_START = 9.6;
const float DROP = 11.2;
const float ENDING_START = 17.6;
const float FADE_START = 19.6;
const float SILENCE = 22.2;
const vec3 INTRO_KEY = vec3(0.80, 0.90, 1.00);
const vec3 INTRO_RIM = vec3(0.20, 0.50, 1.20);
const vec3 INTRO_DOME = vec3(1.00, 1.25, 2.00);
const vec3 BUILD_KEY = vec3(1.00, 0.70, 1.00);
const vec3 BUILD_RIM = vec3(1.20, 0.30, 0.90);
const vec3 BUILD_DOME = vec3(0.35, 0.16, 0.50);
const vec3 CLIMAX_KEY = vec3(1.00, 0.85, 0.60);
const vec3 CLIMAX_RIM = vec3(0.25, 0.70, 1.00);
const vec3 CLIMAX_DOME = vec3(0.30, 0.30, 0.42);
const vec3 CLIMAX_SUN_DIR = vec3(0.196, 0.118, -0.973);
const vec3 ENDING_KEY = vec3(1.00, 0.75, 0.55);
const vec3 ENDING_RIM = vec3(0.50, 0.40, 1.00);
const vec3 ENDING_DOME = vec3(0.30, 0.22, 0.40);

// Rotation by `angle` radians about the unit `axis` (Rodrigues).
mat3 turn_about(vec3 axis, float angle) {
    float c = cos(angle), s = sin(angle);
    mat3 cross_axis = mat3(0.0, axis.z, -axis.y, -axis.z, 0.0, axis.x, axis.y, -axis.x, 0.0);
    return c * mat3(1.0) + s * cross_axis + (1.0 - c) * outerProduct(axis, axis);
}

vec4 stone_texel(int index) {
    int width = textureSize(stones, 0).x;
    return texelFetch(stones, ivec2(index % width, index / width), 0);
}

void main()
{
    int stone = gl_VertexID / stone_vertices;
    vec4 place = stone_texel(3 * stone);
    vec4 spin = stone_texel(3 * stone + 1);
    tint = stone_texel(3 * stone + 2).rgb;
    stone_turn = turn_about(spin.xyz, place.w + radians(spin.w * t * SECONDS_PER_T));
    vec3 world = place.xyz + stone_turn * aPos;
    normal = stone_turn * aNormal;
    // The eye is the camera-to-world translation: -R^T * view's translation.
    to_eye = -transpose(mat3(view)) * view[3].xyz - world;
    gl_Position = projection * view * vec4(world, 1.0);

    // The show's lights at "t": section, drum accent, riser, fade.
    float intro = 1.0 - step(BUILD_START, t);
    float build = step(BUILD_START, t) * (1.0 - step(DROP, t));
    float climax = step(DROP, t) * (1.0 - step(ENDING_START, t));
    float ending = step(ENDING_START, t);
    float kick = exp(-6.0 * fract(t / BEAT));
    bool downbeat = mod(floor(t / BEAT), 4.0) < 0.5;
    float drums = step(BUILD_START, t) * (1.0 - step(ENDING_START + 1.6, t))
                * mix(0.45, 1.0, smoothstep(BUILD_START, DROP, t));
    float accent = drums * kick * (downbeat ? 1.3 : 1.0);
    float riser = smoothstep(RISER_START, DROP, t) * (1.0 - step(DROP, t));
    float orbit = 0.3 * t + 0.8;
    float rise = mix(-0.2, 0.75, smoothstep(0.0, 3.2, t));
    key_dir = climax > 0.0 ? CLIMAX_SUN_DIR : normalize(vec3(cos(orbit), rise, sin(orbit) + 1.2));
    rim_dir = normalize(vec3(-key_dir.x, 0.3, -0.8));
    key_color = (intro * INTRO_KEY + build * BUILD_KEY + climax * CLIMAX_KEY + ending * ENDING_KEY)
              * (1.0 + 0.8 * accent + 2.0 * riser) * (1.0 - 0.7 * smoothstep(ENDING_START, SILENCE, t));
    rim_color = intro * INTRO_RIM + build * BUILD_RIM + climax * CLIMAX_RIM + ending * ENDING_RIM;
    dome_color = intro * INTRO_DOME + build * BUILD_DOME + climax * CLIMAX_DOME + ending * ENDING_DOME;
    fade = smoothstep(0.0, 1.6, t) * (1.0 - smoothstep(FADE_START, SILENCE, t));
}
