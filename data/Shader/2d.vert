#version 330 core

// A HUD image quad, given in window pixels (origin top left, y down).
layout(location = 0) in vec2 position;
layout(location = 3) in vec2 uv;

uniform mat4 orthogonalMatrix;

out vec2 texCoord;

void main()
{
    // The images are uploaded bottom row first while the quad's v runs down
    // the screen, so v is turned over to keep the picture upright.
    texCoord = vec2(uv.x, 1.0 - uv.y);
    gl_Position = orthogonalMatrix * vec4(position, 0.0, 1.0);
}
