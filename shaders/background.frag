#version 330 core
// The show: the scene's ten-sided gem, ray traced against its facet planes,
// in four compositions that follow the soundtrack's sections: the stone turns
// out of the dark to face the viewer (intro), the camera dives through its
// table and travels inside it, seen from within its facets (build-up), a field of
// stones streams past on the beat (climax), and the stone draws away into
// the dark (ending). Everything is a function of "t" (0.4 x demo seconds; at
// 120 BPM one beat is 0.2 and one bar 0.8 in these units), so every frame
// rate shows the same picture; scenes change on bar lines. What depends on
// "t" alone (section, beat, light, camera, the hero stone's pose) comes from
// the vertex shader as flat values; this shader does the per-pixel work.
// Output 0 is the HDR colour, output 1 its bright part, which feeds the bloom.
// In explore mode the picture is the sky around the gem field: the show's
// backdrop seen through the explorer's camera (the vertex shader sets it up),
// without its stones.
in vec2 TexCoords;
flat in vec3 key_dir;
flat in vec3 key_color;
flat in vec3 rim_dir;
flat in vec3 rim_color;
flat in vec3 dome_color;
flat in vec3 strip_color;
// The backdrop's sun (direction and colour) and the backdrop's brightness.
flat in vec3 sun_dir;
flat in vec3 sun_color;
flat in float sky_gain;
flat in vec4 section;  // intro, build-up, climax, ending
flat in vec4 beat;     // accent, backdrop pulse, phase within the beat, filter opening
flat in vec2 finish;   // flash, fade
flat in vec4 camera;   // eye, focal length
flat in mat3 lens_turn;  // camera to world
// The build-up's lines of light along the stone's edges: their colour, and
// the height (in the stone's frame) of the ring of light that runs down them
// on every beat.
flat in vec3 edge_color;
flat in float ring_height;
flat in float travel;
flat in mat3 field_spin;  // the field stones' common spin
flat in mat3 hero_turn;
flat in vec3 hero_tint;
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;

// Explore mode (non-zero): the sky alone, without the show's stones. Unset, the show.
uniform int explore;

const float TAU = 6.28318531;

// The stone, in its own frame (y is its axis): ten facets around, the girdle
// of radius 1 at y = 0, the culet at y = -1, the crown ring of radius 0.8 at
// y = 0.16 and the table rising to a low point at y = 0.2. Each facet plane
// is n.p = h with n = (radial * m, axial), m the facet's middle direction in
// the girdle plane; the ten planes of a kind differ only by that direction.
const float FACETS = 10.0;
const float SECTOR = TAU / FACETS;
const float APOTHEM = 0.95105652;  // cos(pi / 10): the girdle edges' distance from the axis
const vec3 PAVILION = vec3(1.0, -APOTHEM, APOTHEM) / length(vec2(1.0, APOTHEM));  // radial, axial, h
const vec3 CROWN = vec3(1.0, 1.25 * APOTHEM, APOTHEM) / length(vec2(1.0, 1.25 * APOTHEM));
const vec3 TABLE = vec3(0.05 / APOTHEM, 1.0, 0.2) / length(vec2(0.05 / APOTHEM, 1.0));
const float STONE_RADIUS = 1.0;  // the bounding sphere around the stone's centre
const float CROWN_RING = 0.16;   // the height of the edge between crown and table
// A seam between two facets of a kind lies pi / 10 from their middles.
const float SEAM_SIN = 0.30901699;
const float SEAM_COS = 0.95105652;

// Light in the stone: refractive indices per colour channel (a diamond's,
// spread a little wider for more fire) and the number of internal paths.
const vec3 IOR = vec3(2.30, 2.42, 2.58);
const int HERO_BOUNCES = 2;
const int INSIDE_BOUNCES = 2;
const int FIELD_BOUNCES = 1;

// The studio light around the stones: the dome's least brightness, and the
// key light's peak and its fall-off (its core is a few degrees wide).
const float DOME_FLOOR = 0.03;
const float DOME_RISE = 0.1;
const float KEY_PEAK = 30.0;
const float KEY_SHARPNESS = 500.0;
const float KEY_HALO = 0.15;
// The fire's lobe around the key light for light leaving a stone, one per
// colour channel: wider than the key's core (it ends 12 degrees out), so
// that the colours split from it flash often as the stones turn (as in
// explore mode's stone shader). A polynomial, cheaper than an exponential.
const float FIRE_SHARPNESS = 45.0;
const float FIRE_GAIN = 1.5;
// How much wider the fire is drawn than the indices alone would split it.
const float FIRE_SPREAD = 4.0;
// Two strip lights (their colour comes from the vertex shader): how hard
// their edges are, and how fast they fall off across (STRIP_EDGE times the
// inverse of their half-width).
const float STRIP_EDGE = 4.0;
const float STRIP_SLOPE = STRIP_EDGE * 14.0;

// The climax's field: stones in slabs across the flight, one per grid cell.
const float FIELD_CELL = 3.5;
const float FIELD_SLAB = 3.0;      // depth between two slabs
const float FIELD_SCALE = 0.75;    // stone radius in the field
const int FIELD_SLABS = 4;         // at most four (next_field_stone)
const float FIELD_EMPTY = 0.4;     // the share of cells without a stone
const vec3 FIELD_BLUE = vec3(0.03, 0.015, 0.0);
const vec3 FIELD_ROSE = vec3(0.0, 0.03, 0.015);
const vec3 FIELD_CHAMPAGNE = vec3(0.0, 0.01, 0.04);
// The most events along one ray: a miss per slab, an entry, the bounces.
const int MAX_EVENTS = 8;

// The largest value written; half floats overflow at 65504.
const float MAX_HDR = 4096.0;
// Bright pass: a soft knee around the threshold, no hard edge.
const float BLOOM_THRESHOLD = 1.0;
const float BLOOM_KNEE = 0.5;
// The most light a pixel gives the bloom, so that one sparkle's glow stays
// a glow and does not flood the picture around it.
const float BLOOM_MAX = 16.0;

// The build-up's lines along the stone's edges: their width as an angle
// seen from the eye (radians), and the width of the beat's ring (in the
// stone's frame).
const float EDGE_WIDTH = 0.004;
const float RING_WIDTH = 0.05;
// How the lines dim with the distance travelled to them (per stone unit, in
// powers of two), so that their mirror images recede.
const float EDGE_FADE = 2.0;

// Section palettes (the light's are set with the camera): the backdrops.
const vec3 INTRO_BACK = vec3(0.006, 0.012, 0.040);
const vec3 CLIMAX_BACK = vec3(0.035, 0.010, 0.025);
const vec3 ENDING_BACK = vec3(0.050, 0.020, 0.045);

// What a ray leaving a stone sees: a dark studio with a faint floor of soft
// light (brighter above), strip lights whose hard edges cut the facets into
// bright and near-black, the rim light's lobe and the key light, whose hot
// core makes the sparkles. (Explore mode's stone shader has the same studio.)
// The two strip lights' brightness (before their colour) in direction `dir`,
// their edges spread over a further `blur` along x: what one colour channel
// gathers of light split into a spectrum that wide. At 0 the edges are as
// hard as drawn.
float strips(vec3 dir, float blur) {
    vec2 off_centre = STRIP_SLOPE * abs(dir.xx - vec2(0.35, -0.45));
    vec2 across = clamp(0.5 + (STRIP_EDGE - 0.5 - off_centre) / (1.0 + STRIP_SLOPE * blur), 0.0, 1.0);
    return (across.x + across.y) * (0.3 + max(dir.y, 0.0));
}

// The studio but for its strip lights.
vec3 environment(vec3 dir) {
    float up = max(dir.y, 0.0);
    vec3 color = dome_color * (DOME_FLOOR + DOME_RISE * up);
    float rim = max(1.0 - 12.0 * (1.0 - dot(dir, rim_dir)), 0.0);
    color += rim_color * rim * rim;
    float key = dot(dir, key_dir);
    float halo = max(key, 0.0) * max(key, 0.0);
    color += key_color * (KEY_PEAK * exp2(KEY_SHARPNESS * (key - 1.0)) + KEY_HALO * halo * halo);
    return color;
}

// A ray against the stone, in its own frame with a unit direction: the ray
// parameters where it enters and leaves the convex stone (it misses when
// enter >= leave or leave <= 0) and the indices of those two facets. A ray
// that starts inside has enter < 0.
struct Span {
    float enter;
    float leave;
    float enter_facet;
    float leave_facet;
};

// The facet planes of a kind: radial and axial parts of the normal, and h.
vec3 facet_kind(int kind) {
    return kind == 0 ? PAVILION : (kind == 1 ? CROWN : TABLE);
}

// The facets' middle directions in the girdle plane, (i + 0.5) * SECTOR.
const vec2 MIDDLES[10] = vec2[10](
    vec2(0.95105652, 0.30901699), vec2(0.58778525, 0.80901699), vec2(0.0, 1.0),
    vec2(-0.58778525, 0.80901699), vec2(-0.95105652, 0.30901699), vec2(-0.95105652, -0.30901699),
    vec2(-0.58778525, -0.80901699), vec2(0.0, -1.0), vec2(0.58778525, -0.80901699),
    vec2(0.95105652, -0.30901699));

// The middle direction of the facet `index` mod 10: the first one turned
// by SECTOR that many times, in powers of two (a looked-up entry would be
// fetched pixel by pixel on a software rasteriser).
vec2 facet_middle(int position) {
    const vec2 TURN_1 = vec2(0.80901699, 0.58778525);  // SECTOR
    const vec2 TURN_2 = vec2(0.30901699, 0.95105652);
    const vec2 TURN_4 = vec2(-0.80901699, 0.58778525);
    const vec2 TURN_8 = vec2(0.30901699, -0.95105652);
    vec2 m = MIDDLES[0];
    vec2 r = (position & 1) != 0 ? TURN_1 : vec2(1.0, 0.0);
    m = vec2(m.x * r.x - m.y * r.y, m.x * r.y + m.y * r.x);
    r = (position & 2) != 0 ? TURN_2 : vec2(1.0, 0.0);
    m = vec2(m.x * r.x - m.y * r.y, m.x * r.y + m.y * r.x);
    r = (position & 4) != 0 ? TURN_4 : vec2(1.0, 0.0);
    m = vec2(m.x * r.x - m.y * r.y, m.x * r.y + m.y * r.x);
    r = (position & 8) != 0 ? TURN_8 : vec2(1.0, 0.0);
    return vec2(m.x * r.x - m.y * r.y, m.x * r.y + m.y * r.x);
}

// The outward normal of facet `index` (kind * 10 + position around the axis).
vec3 facet_normal(float index) {
    int kind = int(index / FACETS);
    vec2 m = facet_middle(int(index) - kind * int(FACETS));
    vec3 plane = facet_kind(kind);
    return vec3(plane.x * m.x, plane.y, plane.x * m.y);
}

// How far a point on facet `index` lies from the facet's edges, in the
// stone's units: from the seams to its two neighbours of the same kind, and
// from the girdle or the crown ring that bound it above or below.
float edge_distance(vec3 q, float index) {
    int kind = int(index / FACETS);
    vec2 m = facet_middle(int(index) - kind * int(FACETS));
    float seam = SEAM_SIN * dot(q.xz, m) - SEAM_COS * abs(q.x * m.y - q.z * m.x);
    float ring = kind == 0 ? -q.y : (kind == 1 ? min(q.y, CROWN_RING - q.y) : q.y - CROWN_RING);
    return min(seam, abs(ring));
}

// Every facet plane in turn; a plane the ray runs towards from inside is one
// it can leave by, the others are ones it can enter by. Only the best facet's
// index is kept (facet_normal gives its normal).
Span trace_stone(vec3 origin, vec3 dir) {
    float enter = -1e9, leave = 1e9;
    float enter_index = 0.0, leave_index = 0.0;
    // Tested at its end, like trace_shot's loop, to spare a masked round.
    int i = 0;
    do {
        vec2 m = MIDDLES[i];
        float o_radial = dot(origin.xz, m);
        float d_radial = dot(dir.xz, m);
        for (int kind = 0; kind < 3; ++kind) {
            vec3 plane = facet_kind(kind);
            float facing = plane.x * d_radial + plane.y * dir.y;
            float at = (plane.z - plane.x * o_radial - plane.y * origin.y) / facing;
            float index = float(kind * int(FACETS) + i);
            bool leaving = facing > 0.0;
            float out_at = leaving ? at : 1e9;
            leave_index = out_at < leave ? index : leave_index;
            leave = min(leave, out_at);
            float in_at = leaving ? -1e9 : at;
            enter_index = in_at > enter ? index : enter_index;
            enter = max(enter, in_at);
        }
        ++i;
    } while (i < int(FACETS));
    return Span(enter, leave, enter_index, leave_index);
}

// Reflectance of a facet for light meeting it at cos_i on the side of index
// `ior` relative to the other side: Schlick's approximation, taken on the
// less dense side, and 1 beyond the critical angle.
float fresnel(float cos_i, float ior) {
    float r0 = (ior - 1.0) / (ior + 1.0);
    r0 *= r0;
    float sin2_t = ior * ior * (1.0 - cos_i * cos_i);
    float c = ior > 1.0 ? sqrt(max(1.0 - sin2_t, 0.0)) : cos_i;
    float k = 1.0 - c;
    float k2 = k * k;
    return ior > 1.0 && sin2_t >= 1.0 ? 1.0 : r0 + (1.0 - r0) * k2 * k2 * k;
}

// Integer hash of a lattice point, in [0, 1].
float hash(ivec3 cell) {
    uvec3 q = uvec3(cell) * uvec3(1597334673u, 3812015801u, 2798796415u);
    uint n = (q.x ^ q.y ^ q.z) * 1597334673u;
    return float(n >> 8) * (1.0 / 16777215.0);
}

// One stone placed in the world: its centre, size, orientation and tint
// (absorption per unit path inside it).
struct Stone {
    vec3 centre;
    float scale;
    mat3 to_world;
    vec3 tint;
};

// A scene's shot for this pixel: the camera's ray, what lies behind the
// stones, and the hero stone (every scene but the climax's field has one).
struct Shot {
    vec3 eye;
    vec3 dir;
    vec3 back;
    Stone hero;
};

// The four compositions; the vertex shader sets each section's camera,
// light and hero stone, so that one set of code draws all of them (a
// software rasteriser pays for every scene's code in every frame).
// - Intro: the stone, alone in the dark, turns from its profile to face the
//   camera while the light comes up; the camera closes in as it turns and
//   holds still once it faces the stone.
// - Build-up: the camera dives through the table into the stone, and inside
//   it the facets close round it in perspective, their edges lit, mirrored
//   in each other by total internal reflection, with the light outside
//   coming through them split into colours.
// - Climax: flying through a field of stones that lurches forward on every
//   beat, rolling, towards a light that glows ahead in the haze.
// - Ending: the stone, seen from above its girdle, draws away into the dark
//   towards the upper right while the light goes down.
Shot compose(vec2 p) {
    vec3 dir = lens_turn * normalize(vec3(p, -camera.w));
    Stone hero = Stone(vec3(0.0), 1.0, hero_turn, hero_tint);
    // The climax flies towards a light ahead, its glow swelling on the beat.
    float ahead = dot(dir, sun_dir);
    vec3 sun = sun_color * (4.0 * exp2(200.0 * (ahead - 1.0)) + 0.15 * exp2(20.0 * (ahead - 1.0)));
    vec3 back = section.x * INTRO_BACK * (0.3 + 2.0 * smoothstep(-0.1, -0.6, p.y))
              + section.y * dome_color * 0.1
              + section.z * CLIMAX_BACK * (1.0 + 1.5 * beat.y)
              + section.w * ENDING_BACK * (0.6 + 0.8 * smoothstep(-0.5, 0.5, p.y - p.x));
    return Shot(camera.xyz, dir, sky_gain * back + sun, hero);
}

// The field's slab `k` slabs ahead of the climax's camera: its depth, and the
// cell where the ray crosses its middle plane, whose stone is the only one of
// the slab the ray can meet (stones are small enough to stay in their cell).
vec3 field_slab(vec3 dir, int k) {
    float slab = floor(travel / FIELD_SLAB) + 1.0 + float(k);
    float depth = slab * FIELD_SLAB - travel;
    return vec3(floor(dir.xy * (depth / -dir.z) / FIELD_CELL), slab);
}

vec3 field_centre(vec3 cell) {
    return vec3((cell.xy + 0.5) * FIELD_CELL, travel - cell.z * FIELD_SLAB);
}

// The slabs (bit k for slab k) whose cell holds a stone with a bounding
// sphere the ray meets, from slab `k` on. Cheap: no facets. Scanned once
// per ray, so that trying the next stone later takes no loop.
int field_stones_met(vec3 dir, int k) {
    int met = 0;
    for (; k < FIELD_SLABS; ++k) {
        vec3 cell = field_slab(dir, k);
        vec3 to_centre = field_centre(cell);
        float along = dot(to_centre, dir);
        bool near = dot(to_centre, to_centre) - along * along < FIELD_SCALE * FIELD_SCALE;
        met |= hash(ivec3(cell)) >= FIELD_EMPTY && near && along > 0.0 ? 1 << k : 0;
    }
    return met;
}

// The first of the slabs `met` from slab `k` on; FIELD_SLABS when there is
// none. Without a loop: the lowest bit left is numbered from which of the
// four bits it is (bits 1 and 3 count 1, bits 2 and 3 count 2), so
// FIELD_SLABS is at most four.
int next_field_stone(int met, int k) {
    int left = (met >> k) << k;
    int lowest = left & -left;
    int slab = ((lowest & 0xA) != 0 ? 1 : 0) + ((lowest & 0xC) != 0 ? 2 : 0);
    return left == 0 ? FIELD_SLABS : slab;
}

// The field's stone in a cell: its own random axis in a frame that spins
// with every stone (the vertex shader's field_spin), and one of three tints
// (blue, rose, champagne).
Stone field_stone(vec3 cell) {
    ivec3 id = ivec3(cell);
    vec3 axis = normalize(vec3(hash(id + 5), hash(id + 7), hash(id + 9)) - 0.5);
    vec3 side = normalize(cross(axis, vec3(0.577, 0.577, 0.577)));
    mat3 turn = mat3(side, axis, cross(side, axis)) * field_spin;
    float shade = hash(id + 11);
    vec3 tint = shade < 0.4 ? FIELD_BLUE : (shade < 0.7 ? FIELD_ROSE : FIELD_CHAMPAGNE);
    return Stone(field_centre(cell), FIELD_SCALE, turn, tint);
}

// The light along the shot's ray: the stones it may meet in turn, and in the
// one it meets, Fresnel reflection where it enters and `bounces` internal
// paths. At each facet met from inside, the refracted part leaves with a
// different direction per colour channel (the fire) and the rest reflects
// on, wholly beyond the critical angle; at the last facet all of it leaves.
// Every event is one iteration of a single loop, which ends when all pixels
// of a block are done: a software rasteriser runs every branch of the code,
// but no loop iteration that no pixel needs. Rays that meet no bounding
// sphere never enter the loop.
vec3 trace_shot(Shot shot, bool field, int bounces) {
    vec3 color = vec3(0.0);
    vec3 carried = vec3(1.0);
    bool inside = false;
    int bounce = 0;
    vec3 o = vec3(0.0), d = vec3(0.0);
    float travelled = 0.0;  // from the eye to the ray's origin, in the stone's units
    Stone stone = shot.hero;
    bool hit = false;
    // The hero's bounding sphere, or the field's first stone.
    vec3 to_centre = -shot.eye;
    float along = dot(to_centre, shot.dir);
    float miss = dot(to_centre, to_centre) - along * along - STONE_RADIUS * STONE_RADIUS;
    bool camera_in = dot(to_centre, to_centre) < STONE_RADIUS * STONE_RADIUS;
    // (The field's scan starts past its end in the other scenes, so that its
    // loop makes a single round there, with no pixel active.)
    int met = field_stones_met(shot.dir, field ? 0 : FIELD_SLABS);
    int candidate = next_field_stone(met, 0);
    candidate = field ? candidate : ((miss < 0.0 && along > 0.0) || camera_in ? 0 : 1);
    int candidates = field ? FIELD_SLABS : 1;
    bool done = candidate >= candidates || explore != 0;
    // The loop tests at its end: a software rasteriser runs one more round,
    // with every pixel masked, past a test at the top that stops them all.
    // (A block whose pixels are all done from the start makes one such round.)
    int step = 0;
    do {
        if (done)
            break;
        if (!inside) {
            // The next stone to try, and the ray in its frame.
            if (field)
                stone = field_stone(field_slab(shot.dir, candidate));
            mat3 to_stone = transpose(stone.to_world);
            o = to_stone * (shot.eye - stone.centre) / stone.scale;
            d = to_stone * shot.dir;
        }
        Span s = trace_stone(o, d);
        bool meets = s.enter < s.leave && s.leave > 0.0;
        bool entering = !inside && meets && s.enter > 0.0;
        bool leaving = inside || (meets && s.enter <= 0.0);
        hit = hit || meets;
        // Entering: reflect part, refract the rest into the stone. Leaving:
        // refract per channel, reflect the rest back in.
        vec3 n = facet_normal(entering ? s.enter_facet : s.leave_facet);
        float path = max(s.leave, 0.0);
        bool last = bounce + 1 >= bounces;
        vec3 mirrored = reflect(d, n);
        float reflected = entering ? fresnel(-dot(d, n), 1.0 / IOR.g)
                                   : (last ? 0.0 : fresnel(dot(d, n), IOR.g));
        vec3 out_r = refract(d, -n, IOR.r);
        vec3 out_g = refract(d, -n, IOR.g);
        vec3 out_b = refract(d, -n, IOR.b);
        // A channel past its own critical angle reflects.
        out_r = entering || out_r == vec3(0.0) ? mirrored : out_r;
        out_g = entering || out_g == vec3(0.0) ? mirrored : out_g;
        out_b = entering || out_b == vec3(0.0) ? mirrored : out_b;
        vec3 absorbed = leaving ? exp(-stone.tint * path * stone.scale) : vec3(1.0);
        mat3 to_world = stone.to_world;
        // The studio along green's way out; red and blue differ from it by
        // the key light and the strip lights, where the fire shows.
        // (Red and blue are spread further from green than the indices alone
        // would, so that the colours part by more than a strip's edge.)
        vec3 world_g = to_world * out_g;
        vec3 world_r = normalize(world_g + FIRE_SPREAD * (to_world * out_r - world_g));
        vec3 world_b = normalize(world_g + FIRE_SPREAD * (to_world * out_b - world_g));
        vec3 seen = environment(world_g);
        vec3 key = vec3(dot(world_r, key_dir), dot(world_g, key_dir), dot(world_b, key_dir));
        seen.rb += key_color.rb * KEY_PEAK * (exp2(KEY_SHARPNESS * (key.rb - 1.0))
                                              - exp2(KEY_SHARPNESS * (key.gg - 1.0)));
        vec3 fire = max(1.0 - FIRE_SHARPNESS * (1.0 - key), 0.0);
        seen += leaving ? key_color * FIRE_GAIN * fire * fire : vec3(0.0);
        // Light split by the facet is a continuous spectrum: each channel
        // gathers the strips over its share of it, as wide as the split
        // between neighbouring channels, so that the bands at a strip's edge
        // overlap and blend from red through yellow, green and cyan to blue.
        float split = 0.5 * abs(world_r.x - world_b.x);
        seen += strip_color * vec3(strips(world_r, split), strips(world_g, split), strips(world_b, split));
        float weight = entering ? reflected : (leaving ? 1.0 - reflected : 0.0);
        color += carried * absorbed * weight * seen;
        // The build-up's lines along the edges of the facet met, the same
        // width at every distance, brighter where the beat's ring passes.
        float at = entering ? s.enter : path;
        vec3 q = o + d * at;
        float from_edge = edge_distance(q, entering ? s.enter_facet : s.leave_facet);
        float width = EDGE_WIDTH * (travelled + at);
        float ring = exp2(-(q.y - ring_height) * (q.y - ring_height) / (RING_WIDTH * RING_WIDTH));
        float line = exp2(-from_edge * from_edge / (width * width) - EDGE_FADE * travelled);
        color += float(meets || inside) * carried * absorbed * edge_color * line * (1.0 + 2.0 * ring);
        travelled += entering || leaving ? at : 0.0;
        carried *= entering ? vec3(1.0 - reflected) : (leaving ? absorbed * reflected : vec3(1.0));
        vec3 next = entering ? refract(d, n, 1.0 / IOR.g) : mirrored;
        o += d * (entering ? s.enter : path) + next * 1e-4;
        d = entering || leaving ? next : d;
        bounce += leaving ? 1 : 0;
        inside = inside || entering || leaving;
        // A field ray that slips past its stone tries the next one.
        int following = next_field_stone(met, candidate + 1);
        candidate = inside ? candidate : (field ? following : 1);
        done = (leaving && last) || candidate >= candidates;
        ++step;
    } while (step < MAX_EVENTS && !done);
    return hit ? color : shot.back;
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
    // Aspect-correct coordinates: y from -0.5 to 0.5.
    vec2 texel = abs(vec2(dFdx(TexCoords.x), dFdy(TexCoords.y)));
    float aspect = texel.y / max(texel.x, 1e-5);
    vec2 p = (TexCoords - 0.5) * vec2(aspect, 1.0);

    bool field = section.z > 0.0 && explore == 0;
    Shot shot = compose(p);
    int bounces = field ? FIELD_BOUNCES : (section.y > 0.0 ? INSIDE_BOUNCES : HERO_BOUNCES);
    vec3 color = trace_shot(shot, field, bounces);

    // The hit at the drop: a white flash over everything, fading within a bar.
    color += vec3(1.0, 0.95, 0.85) * finish.x * (3.0 + 8.0 * exp(-3.0 * length(p)));

    color = sanitize(color * finish.y);
    FragColor = vec4(color, 1.0);
    BrightColor = vec4(min(sanitize(bright_part(color)), vec3(BLOOM_MAX)), 1.0);
}
