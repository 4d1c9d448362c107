#include "app/game.h"

int main()
{
    return frosk::runGame();
}
