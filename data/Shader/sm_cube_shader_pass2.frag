#version 330 core

// Vertex colour darkened where the shadow map sees the sun blocked; a matte
// look with no highlight, for boxes and other helpers.
in vec3 worldNormal;
in vec3 vertexColor;
in vec4 shadowCoord;

uniform sampler2DShadow shadowMap;

out vec4 fragColor;

// The sun stands where the shadow map's light camera is.
const vec3 toSun = normalize(vec3(10.0, 50.0, -40.0));
const float ambient = 0.4;

// Fraction of the fragment lit, with a fixed depth bias and a single
// bilinear comparison; outside the map counts as lit.
float sunlight(vec4 coord)
{
    vec3 c = coord.xyz / coord.w;
    if (c.z >= 1.0 || any(lessThan(c.xy, vec2(0.0))) || any(greaterThan(c.xy, vec2(1.0))))
        return 1.0;
    return texture(shadowMap, vec3(c.xy, c.z - 0.0008));
}

void main()
{
    float sunCosine = max(dot(normalize(worldNormal), toSun), 0.0);
    float lit = sunCosine > 0.0 ? sunlight(shadowCoord) : 0.0;
    fragColor = vec4(vertexColor * (ambient + (1.0 - ambient) * sunCosine * lit), 1.0);
}
