#version 330 core

// Horizontal half of a separable Gaussian blur: nine taps, one texel
// (blurSize, in texture units) apart, weighted by a Gaussian that sums to 1.
in vec2 texCoord;

uniform sampler2D fboTexture;
uniform float blurSize;

out vec4 fragColor;

const float weight[5] = float[](0.2270270270, 0.1945945946, 0.1216216216, 0.0540540541, 0.0162162162);

void main()
{
    vec3 sum = texture(fboTexture, texCoord).rgb * weight[0];
    for (int i = 1; i < 5; ++i) {
        vec2 offset = vec2(blurSize * float(i), 0.0);
        sum += texture(fboTexture, texCoord + offset).rgb * weight[i];
        sum += texture(fboTexture, texCoord - offset).rgb * weight[i];
    }
    // Opaque, so that blending cannot mix in the target's clear colour.
    fragColor = vec4(sum, 1.0);
}
