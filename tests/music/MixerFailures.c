/* Preloaded by the music error test: starting and moving the track fail, as with another mixer. */
#include <SDL_mixer.h>

int Mix_PlayMusic(Mix_Music* music, int loops) { (void)music, (void)loops; Mix_SetError("no playback here"); return -1; }
int Mix_SetMusicPosition(double position) { (void)position; Mix_SetError("no seeking here"); return -1; }
