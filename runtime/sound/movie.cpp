// The movie commands, which have no player behind them on this platform.
#include "sound/movie.h"

#include <cstdio>

namespace {

void ReportNoMoviePlayer() { puts("PLAYMOVIE + LOOPMOVIE only on Win32 so far..."); }

}  // namespace

void PLAYMOVIE(const BasicString& name) {
    (void)name;
    ReportNoMoviePlayer();
}

void LOOPMOVIE(const BasicString& name) {
    (void)name;
    ReportNoMoviePlayer();
}

int32_t MovieStatus() {
    ReportNoMoviePlayer();
    return 0;
}
