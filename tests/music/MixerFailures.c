/* Loaded before SDL_mixer (LD_PRELOAD) by the music error test: starting and moving the track
   fail, as they may with another mixer build or device. */
#include <SDL_mixer.h>

int Mix_PlayMusic(Mix_Music* music, int loops) {
    (void)music, (void)loops;
    Mix_SetError("no playback here");
    return -1;
}

int Mix_SetMusicPosition(double position) {
    (void)position;
    Mix_SetError("no seeking here");
    return -1;
}
