// Start-up seeds the random generator: reports the generator's state as ApplicationMain finds it.
#include <cstdio>

#include "frame/program.h"
#include "text/random.h"

void ApplicationMain() {
    printf("count %u generations %u\n", g_random_state.count, g_random_state.c);
    printf("first %08x\n", g_random_state.results[0]);
    fflush(stdout);
    EndProgram();
}
