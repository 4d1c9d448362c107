#version 330 core

// The glyph texture holds coverage in its single (red) channel. Coverage
// becomes the alpha of the text colour, so edges blend smoothly; texels with
// no coverage at all are dropped outright.
in vec2 glyphCoord;

uniform sampler2D textTexture;
uniform vec3 textColor;

out vec4 fragColor;

void main()
{
    float coverage = texture(textTexture, glyphCoord).r;
    if (coverage <= 0.0)
        discard;
    fragColor = vec4(textColor, coverage);
}
