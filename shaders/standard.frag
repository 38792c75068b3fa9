#version 330 core
// Plain textured output; kept for passes that only copy an image.
in vec2 TexCoords;
out vec4 FragColor;

uniform sampler2D image;

void main()
{
    FragColor = vec4(texture(image, TexCoords).rgb, 1.0);
}
