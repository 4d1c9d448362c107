#version 330 core

// The outline (or cover) pass paints one flat colour.
uniform vec3 color1;

out vec4 fragColor;

void main()
{
    fragColor = vec4(color1, 1.0);
}
