#version 330 core

// A glowing object shines with its own colour, brightened so that the glow
// still carries after the blur has spread it thin.
in vec3 vertexColor;

out vec4 fragColor;

void main()
{
    fragColor = vec4(min(vertexColor * 1.5, vec3(1.0)), 1.0);
}
