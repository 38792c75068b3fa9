#pragma once

struct _Mix_Music;
extern struct _Mix_Music* music_ptr;

// Starts SDL's audio subsystem and the mixer.
void load_music();
// Opens the audio device, loads the track and starts it once.
void play_music();
// Frees the track and shuts SDL down.
void free_music();
// Moves the playing track to `seconds` from its start; `forward` when the
// target lies after where it plays now. Nothing without a loaded track.
void seek_music(double seconds, bool forward);
// Pauses or resumes the track. Nothing without a loaded track.
void pause_music(bool paused);
