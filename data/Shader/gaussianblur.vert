#version 330 core

// Full-screen quad. Both attributes receive the same corner in [-1, 1]: one
// places the corner, the other becomes the texture coordinate in [0, 1].
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texcoord;

out vec2 texCoord;

void main()
{
    texCoord = texcoord * 0.5 + 0.5;
    gl_Position = vec4(position, 0.0, 1.0);
}
