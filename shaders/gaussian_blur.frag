#version 330 core
// One pass of the bloom blur: the centre texel and a ring of six fetches
// around it, at the offsets and weights that the vertex shader works out for
// this pass (see gaussian_blur.vert). The weights sum to 1, so the blur
// neither adds nor loses light.
in vec2 TexCoords;
flat in vec2 offsets[3];
flat in float centre_weight;
flat in float ring_weight;
out vec4 FragColor;

uniform sampler2D image;

// The pair `pair` of the ring's fetches, on opposite sides of the pixel. One
// unrolled block of a fixed count: a software rasteriser slows the whole
// shader down for filtered fetches in a loop whose count it does not know.
vec3 pair_light(int pair) {
    vec2 offset = offsets[pair];
    return textureLod(image, TexCoords + offset, 0.0).rgb
         + textureLod(image, TexCoords - offset, 0.0).rgb;
}

void main()
{
    vec3 ring = pair_light(0) + pair_light(1) + pair_light(2);
    vec3 centre = textureLod(image, TexCoords, 0.0).rgb;
    FragColor = vec4(centre_weight * centre + ring_weight * ring, 1.0);
}
