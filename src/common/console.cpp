#include "common/console.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace frosk {

void waitForKeyIfInteractive()
{
    std::cout.flush();
    if (!isatty(STDIN_FILENO))
        return;
    std::cout << "Press Enter to continue . . ." << std::flush;
    int c;
    do {
        c = std::getchar();
    } while (c != '\n' && c != EOF);
}

void fatalExit(int status)
{
    waitForKeyIfInteractive();
    std::cerr.flush();
    std::exit(status);
}

} // namespace frosk
