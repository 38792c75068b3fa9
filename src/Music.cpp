#include "Music.h"

#include <SDL.h>
#include <SDL_mixer.h>

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

}

void load_music() {
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
        std::fprintf(stderr, "Could not open the audio device (%s); the demo plays without music.\n",
                     SDL_GetError());
        return;
    }
    music_ptr = Mix_LoadMUS(MUSIC_FILE);
    if (!music_ptr) {
        std::fprintf(stderr, "Error loading music: %s\n", MUSIC_FILE);
        std::exit(1);
    }
    Mix_PlayMusic(music_ptr, LOOPS);
}

void free_music() {
    if (music_ptr)
        Mix_FreeMusic(music_ptr);
    music_ptr = nullptr;
    SDL_Quit();
}
