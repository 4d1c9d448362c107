#version 330 core

// One glyph quad in window pixels (origin top left, y down).
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texcoord;

uniform mat4 orthogonalMatrix;

out vec2 glyphCoord;

void main()
{
    glyphCoord = texcoord;
    gl_Position = orthogonalMatrix * vec4(position, 0.0, 1.0);
}
