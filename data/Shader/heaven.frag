#version 330 core

// The sky is unlit: its texture tinted by the vertex colour.
in vec3 vertexColor;
in vec2 texCoord;

uniform sampler2D colorTexture;

out vec4 fragColor;

void main()
{
    fragColor = vec4(texture(colorTexture, texCoord).rgb * vertexColor, 1.0);
}
