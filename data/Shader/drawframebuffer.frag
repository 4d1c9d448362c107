#version 330 core

// The rendered scene with the blurred glow added on top. The glow is added
// (light adds up), and the sum is rolled off softly towards white instead of
// clipping, so bright halos over bright scenery keep some shape.
in vec2 texCoord;

uniform sampler2D scene;
uniform sampler2D fboTexture;

out vec4 fragColor;

// Below 1, so that a glowing target keeps its rings under its halo.
const float glowStrength = 0.9;

void main()
{
    // The scene target has the window's size: its texel under this fragment,
    // fetched without filtering.
    vec3 base = texelFetch(scene, ivec2(gl_FragCoord.xy), 0).rgb;
    vec3 glow = texture(fboTexture, texCoord).rgb * glowStrength;
    // Screen blend: base + glow - base * glow, never above 1.
    vec3 colour = base + glow * (1.0 - base);
    fragColor = vec4(colour, 1.0);
}
