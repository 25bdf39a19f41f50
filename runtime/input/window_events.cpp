// Window events.
#include "input/window_events.h"

#include <SDL.h>

int PollWindowEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        // Only a key-down event carries a key symbol. An activation event has none: its key field would be
        // bytes SDL never wrote, so it is not read as a possible Escape.
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) return 0;
        if (event.type == SDL_QUIT) return 0;
    }
    return 1;
}
