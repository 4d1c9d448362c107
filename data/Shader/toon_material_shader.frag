#version 330 core

// Cel shading of the vertex colour: the sunlight that reaches the fragment
// (its angle to the sun times what the shadow map leaves lit) is cut into
// numShades flat bands, from unlit to full sun, and a hard-edged highlight
// sits on top where the surface mirrors the sun towards the eye.
in vec3 worldPosition;
in vec3 worldNormal;
in vec3 vertexColor;
in vec4 shadowCoord;

uniform sampler2DShadow shadowMap;
uniform float numShades;
uniform vec3 cameraPosition;

out vec4 fragColor;

// The sun stands where the shadow map's light camera is.
const vec3 toSun = normalize(vec3(10.0, 50.0, -40.0));
const float ambient = 0.4;

// Fraction of the fragment lit, 0 to 1, from four bilinear comparisons about
// three texels apart; grazing surfaces get more depth bias. Outside the map
// counts as lit.
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

// Band k of n (0 to n - 1) spread evenly from 0 to 1: exactly n tones.
float band(float light, float shades)
{
    float n = max(floor(shades), 2.0);
    return min(floor(light * n), n - 1.0) / (n - 1.0);
}

// x to the 16th by squaring: pow(x, 16.0) but for rounding, and far cheaper
// than pow's exp2(16 * log2(x)) on a software rasteriser.
float toThe16th(float x) { x *= x; x *= x; x *= x; return x * x; }

void main()
{
    vec3 n = normalize(worldNormal);
    vec3 toEye = normalize(cameraPosition - worldPosition);
    float sunCosine = max(dot(n, toSun), 0.0);
    float lit = sunCosine > 0.0 ? sunlight(shadowCoord, sunCosine) : 0.0;

    float shade = band(sunCosine * lit, numShades);
    float highlight = step(0.92, toThe16th(max(dot(n, normalize(toSun + toEye)), 0.0))) * step(0.5, lit);

    vec3 colour = vertexColor * (ambient + (1.0 - ambient) * shade) + vec3(0.25 * highlight);
    fragColor = vec4(colour, 1.0);
}
