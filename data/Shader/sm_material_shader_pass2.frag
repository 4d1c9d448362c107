#version 330 core

// Vertex colour under the sun with shadows: the sun's diffuse and highlight
// are scaled by how much of the fragment the shadow map sees lit.
in vec3 worldPosition;
in vec3 worldNormal;
in vec3 vertexColor;
in vec4 shadowCoord;

uniform sampler2DShadow shadowMap;
uniform vec3 cameraPosition;

out vec4 fragColor;

// The sun stands where the shadow map's light camera is.
const vec3 toSun = normalize(vec3(10.0, 50.0, -40.0));
const float ambient = 0.35;

// Fraction of the fragment lit, 0 to 1. Four bilinear comparisons spread
// over about three texels soften the edge. Surfaces at a grazing angle to the
// sun get more depth bias, so they do not shadow themselves in stripes.
// Whatever lies outside the map is taken as lit.
float sunlight(vec4 coord, float sunCosine)
{
    vec3 c = coord.xyz / coord.w;
    if (c.z >= 1.0 || any(lessThan(c.xy, vec2(0.0))) || any(greaterThan(c.xy, vec2(1.0))))
        return 1.0;
    float slope = sqrt(max(1.0 - sunCosine * sunCosine, 0.0)) / max(sunCosine, 0.1);
    float reference = c.z - clamp(0.0002 + 0.00015 * slope, 0.0002, 0.002);
    vec2 texel = 1.0 / vec2(textureSize(shadowMap, 0));
    float lit = texture(shadowMap, vec3(c.xy + vec2(-0.75, -0.75) * texel, reference))
              + texture(shadowMap, vec3(c.xy + vec2(0.75, -0.75) * texel, reference))
              + texture(shadowMap, vec3(c.xy + vec2(-0.75, 0.75) * texel, reference))
              + texture(shadowMap, vec3(c.xy + vec2(0.75, 0.75) * texel, reference));
    return lit * 0.25;
}

// x to the 32nd by squaring: pow(x, 32.0) but for rounding, and far cheaper
// than pow's exp2(32 * log2(x)) on a software rasteriser.
float toThe32nd(float x) { x *= x; x *= x; x *= x; x *= x; return x * x; }

void main()
{
    vec3 n = normalize(worldNormal);
    vec3 toEye = normalize(cameraPosition - worldPosition);
    float sunCosine = max(dot(n, toSun), 0.0);
    float lit = sunCosine > 0.0 ? sunlight(shadowCoord, sunCosine) : 0.0;
    float specular = toThe32nd(max(dot(n, normalize(toSun + toEye)), 0.0));

    vec3 colour = vertexColor * (ambient + (1.0 - ambient) * sunCosine * lit) + vec3(0.2 * specular * lit);
    fragColor = vec4(colour, 1.0);
}
