#version 330 core

// Objects that do not glow are drawn black into the glow target: they hide
// the glow of whatever lies behind them, so halos do not shine through walls.
out vec4 fragColor;

void main()
{
    fragColor = vec4(0.0, 0.0, 0.0, 1.0);
}
