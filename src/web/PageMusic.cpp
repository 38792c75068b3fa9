// The soundtrack in the browser: the page plays it in an <audio> element,
// started by its play button (browsers start sound only after a click or a
// key), and its clock drives the picture. Nothing is left to do here.
#include "Music.h"

struct _Mix_Music* music_ptr = nullptr;

void load_music() {}

void play_music() {}

void free_music() {}

void seek_music(double, bool) {}

void pause_music(bool) {}
