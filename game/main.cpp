// Entry point of the game. The engine's start-up path grows here as its
// subsystems land; for now the program reports what it is and exits.

#include <cstdio>

int main(int, char**) {
    std::printf("Drovani Skyreach: the engine's start-up path is not built yet.\n");
    return 0;
}
