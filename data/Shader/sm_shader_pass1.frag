#version 330 core

// The shadow map has no colour attachment; depth is written by the fixed
// pipeline. The output only keeps the colour defined should one be attached.
out vec4 fragColor;

void main()
{
    fragColor = vec4(gl_FragCoord.zzz, 1.0);
}
