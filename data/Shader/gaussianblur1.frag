#version 330 core

// Horizontal half of a separable Gaussian blur: nine taps, blurSize (in texture
// units) apart, weighted by a Gaussian that sums to 1. The taps fall on whole
// texels around the fragment's own, so they are fetched directly: a software
// rasteriser pays dearly for filtering that would change nothing.
in vec2 texCoord;

uniform sampler2D fboTexture;
uniform float blurSize;

out vec4 fragColor;

const float weight[5] = float[](0.2270270270, 0.1945945946, 0.1216216216, 0.0540540541, 0.0162162162);

void main()
{
    ivec2 size = textureSize(fboTexture, 0);
    ivec2 centre = ivec2(texCoord * vec2(size));
    int step = int(round(blurSize * float(size.x)));
    ivec2 along = ivec2(step, 0);
    vec3 sum = texelFetch(fboTexture, centre, 0).rgb * weight[0];
    for (int i = 1; i < 5; ++i) {
        // Clamped to the edge, as the texture's own wrap mode would.
        sum += texelFetch(fboTexture, clamp(centre + along * i, ivec2(0), size - 1), 0).rgb * weight[i];
        sum += texelFetch(fboTexture, clamp(centre - along * i, ivec2(0), size - 1), 0).rgb * weight[i];
    }
    // Opaque, so that blending cannot mix in the target's clear colour.
    fragColor = vec4(sum, 1.0);
}
