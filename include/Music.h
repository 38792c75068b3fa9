#pragma once

struct _Mix_Music;
extern struct _Mix_Music* music_ptr;

// Starts SDL's audio subsystem and the mixer.
void load_music();
// Opens the audio device, loads the track and starts it once.
void play_music();
// Frees the track and shuts SDL down.
void free_music();
