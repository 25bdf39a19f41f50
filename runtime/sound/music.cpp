// Music over the mixer's one music stream, and the volume remembered so that an unchanged volume costs no
// mixer call.
#include "sound/music.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "files/case_paths.h"
#include "files/pack_source.h"
#include "sound/sound_device.h"

namespace {

constexpr uint32_t kPathBufferSize = 1024;

// The resolved music path. It lives for the whole run, so that its 1024-byte buffer is made once rather than
// for every piece.
BasicString& MusicPath() {
    static BasicString path;
    return path;
}

// The mixer volume for a volume: the integer part of volume x 128 (so a volume just below 0 still gives 0).
// Values out of the int range are brought inside before converting: the mixer caps at 128 and ignores any
// negative volume, so nothing changes for them. A NaN, which has no volume, leaves the mixer's volume as is.
int MixerMusicVolume(float volume) {
    const float scaled = volume * static_cast<float>(MIX_MAX_VOLUME);
    if (std::isnan(scaled) || scaled <= -1.0f) return -1;
    if (scaled >= static_cast<float>(MIX_MAX_VOLUME)) return MIX_MAX_VOLUME;
    return static_cast<int>(scaled);
}

}  // namespace

bool FindMusicFile(const char* requested, BasicString& found) { return FindCaseInsensitive(requested, found) == 1; }

void PLAYMUSIC(const BasicString& name, int32_t loop) {
    StopMusic();
    // Before start-up and after shutdown there is neither a device nor a music pack reader.
    if (g_sound_device == nullptr || g_music_pack == nullptr) return;
    BasicString& path = MusicPath();
    path = name;
    path.Reserve(kPathBufferSize);
    BasicString resolved;
    resolved.Reserve(kPathBufferSize);
    if (!RequestFile(*g_music_pack, name, resolved, 0)) return;
    // The file layer hands back the wanted name when the file is on disk under any case; the mixer needs the
    // name as it is stored.
    if (FindMusicFile(resolved.c_str(), path)) g_music = Mix_LoadMUS(path.c_str());
    if (g_music == nullptr) {
        puts("PLAYMUSIC:");
        puts(SDL_GetError());
    } else {
        Mix_PlayMusic(g_music, loop != 0 ? -1 : 1);
        Mix_VolumeMusic(MIX_MAX_VOLUME);
    }
    if (g_music_volume != 1.0f) {
        g_music_volume = 1.0f;
        Mix_VolumeMusic(MIX_MAX_VOLUME);
    }
}

void MusicVolume(float volume) {
    if (volume == g_music_volume) return;
    g_music_volume = volume;
    Mix_VolumeMusic(MixerMusicVolume(volume));
}

int32_t MusicPlaying() { return Mix_PlayingMusic() != 0 ? 1 : 0; }

void StopMusic() { ReleaseMusic(); }
