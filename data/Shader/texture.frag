#version 330 core

// Texture tinted by the vertex colour, lit by the sun with a soft ambient
// term and a Blinn-Phong highlight.
in vec3 worldPosition;
in vec3 worldNormal;
in vec3 vertexColor;
in vec2 texCoord;

uniform sampler2D colorTexture;
uniform vec3 cameraPosition;

out vec4 fragColor;

// The sun stands where the shadow map's light camera is.
const vec3 toSun = normalize(vec3(10.0, 50.0, -40.0));
const float ambient = 0.35;

void main()
{
    // Cut-out textures (leaves, fringes) are alpha-tested rather than blended,
    // so they need no sorting against the depth buffer.
    vec4 texel = texture(colorTexture, texCoord);
    if (texel.a < 0.5)
        discard;
    vec3 albedo = texel.rgb * vertexColor;

    vec3 n = normalize(worldNormal);
    vec3 toEye = normalize(cameraPosition - worldPosition);
    float diffuse = max(dot(n, toSun), 0.0);
    float specular = diffuse > 0.0 ? pow(max(dot(n, normalize(toSun + toEye)), 0.0), 32.0) : 0.0;

    vec3 lit = albedo * (ambient + (1.0 - ambient) * diffuse) + vec3(0.2 * specular);
    fragColor = vec4(lit, 1.0);
}
