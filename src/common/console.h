#pragma once

namespace frosk {

// The game is a console program: every message goes to standard output and a
// fatal error ends the process. A player who started it from a terminal gets
// to read the message before the window disappears; scripts and CI, whose
// standard input is no terminal, are never kept waiting.
[[noreturn]] void fatalExit(int status);

// Waits for Enter when standard input is a terminal; returns at once otherwise.
void waitForKeyIfInteractive();

} // namespace frosk
