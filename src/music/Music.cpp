// The soundtrack: SDL's audio and the mixer started, the track loaded and
// played once, everything freed at shutdown.
#include "Music.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <alsa/asoundlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

Mix_Music* music_ptr = nullptr;

namespace {

const char* const MUSIC_FILE = "assets/kelvarra.mp3";
// The decoder flags the mixer must start (MIX_INIT_OGG in SDL_mixer 1.2).
const int MIXER_FLAGS = 8;
const int FREQUENCY = 22050;
const int CHANNELS = 2;
const int CHUNK_SIZE = 640;
// Mix_PlayMusic's count: the track plays once.
const int LOOPS = 1;

// ALSA prints its own "ALSA lib ..." lines on standard error when a device
// cannot be opened; the demo reports the failure once, in its own words.
void ignore_alsa_error(const char*, int, const char*, int, const char*, ...) {}

// Without a device the mixer never opens the track, and with one it may take
// a directory of that name for silence: the track must be a readable regular
// file either way, or it counts as missing.
bool track_is_readable(const char* path) {
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

// Starts the loaded track; a failure is told and the show goes on without it.
void start_track() {
    if (Mix_PlayMusic(music_ptr, LOOPS) < 0) {
        std::printf("Could not play the music (%s); the show goes on.\n", Mix_GetError());
        std::fflush(stdout);
    }
}

[[noreturn]] void track_error() {
    std::fprintf(stderr, "Error loading music: %s\n", MUSIC_FILE);
    std::exit(1);
}

}

void load_music() {
    snd_lib_error_set_handler(ignore_alsa_error);
    if (SDL_Init(SDL_INIT_AUDIO) < 0) {
        std::printf("Failed to init SDL\n");
        std::exit(1);
    }
    int result = Mix_Init(MIXER_FLAGS);
    if (result != MIXER_FLAGS) {
        std::printf("Could not initialize mixer (result: %d).\n", result);
        std::printf("Mix_Init: %s\n", SDL_GetError());
        std::exit(1);
    }
}

void play_music() {
    // Without a sound device the show goes on in silence; the mixer would
    // still load the track and only fail to play it, so check the device here.
    if (Mix_OpenAudio(FREQUENCY, AUDIO_S16LSB, CHANNELS, CHUNK_SIZE) < 0) {
        if (!track_is_readable(MUSIC_FILE))
            track_error();
        std::fprintf(stderr, "Could not open the audio device (%s); the demo plays without music.\n",
                     SDL_GetError());
        return;
    }
    music_ptr = track_is_readable(MUSIC_FILE) ? Mix_LoadMUS(MUSIC_FILE) : nullptr;
    if (!music_ptr)
        track_error();
    start_track();
}

void free_music() {
    if (music_ptr)
        Mix_FreeMusic(music_ptr);
    music_ptr = nullptr;
    SDL_Quit();
}

// Debian's SDL_mixer 1.2 (libmad) seeks an MP3 forward exactly, but a track
// that has played past the target lands up to two seconds early when asked to
// go back, also after Mix_RewindMusic; a freshly loaded track seeks exactly.
// So a jump back loads the track again and plays it from the new position.
void seek_music(double seconds, bool forward) {
    if (!music_ptr)
        return;
    if (!forward || !Mix_PlayingMusic()) {
        Mix_FreeMusic(music_ptr);
        music_ptr = Mix_LoadMUS(MUSIC_FILE);
        if (!music_ptr) {
            std::fprintf(stderr, "Error loading music: %s; the demo goes on without it.\n", MUSIC_FILE);
            return;
        }
        start_track();
    }
    // The picture is the clock: a track that did not move plays on out of step.
    if (seconds > 0.0 && Mix_SetMusicPosition(seconds) < 0) {
        std::printf("Could not move the music to %.2f s (%s); the show goes on.\n", seconds, Mix_GetError());
        std::fflush(stdout);
    }
}

void pause_music(bool paused) {
    if (!music_ptr)
        return;
    if (paused)
        Mix_PauseMusic();
    else
        Mix_ResumeMusic();
}
