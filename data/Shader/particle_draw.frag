#version 330 core

// The particle image, fading out as the particle nears the end of its life.
in vec2 spriteCoord;
in float fade;

uniform sampler2D colorTexture;

out vec4 fragColor;

void main()
{
    vec4 texel = texture(colorTexture, spriteCoord);
    float alpha = texel.a * fade;
    if (alpha < 0.01)
        discard;
    fragColor = vec4(texel.rgb, alpha);
}
