// The soundtrack in the browser: the page plays it in an <audio> element,
// started by its play button (browsers start sound only after a click or a
// key), and its clock drives the picture; live mode's clock moves it.
#include "Music.h"

#include <emscripten.h>

struct _Mix_Music* music_ptr = nullptr;

void load_music() {}

void play_music() {}

void free_music() {}

EM_JS(void, seek_music_js, (double seconds), { Module.page.seekMusic(seconds); });
EM_JS(void, pause_music_js, (int paused), { Module.page.pauseMusic(paused !== 0); });

void seek_music(double seconds, bool) {
    seek_music_js(seconds);
}

void pause_music(bool paused) {
    pause_music_js(paused);
}
