#pragma once

class LiveMode;

// The browser build's live mode (web/live.js): the editor's texts are the
// versions of the files that live reload reads, the recording keys write into
// the editor, and the page reads the errors and moves the clock.

// Live mode reads and writes through the page from now on.
void page_live_attach(LiveMode& live);

extern "C" {
// The editor's text of `path` (such as "shaders/background.frag"), taken at the next frame.
void page_live_put(const char* path, const char* text);
// The files' errors now: one record per failing file, "PATH\x1fMESSAGE", joined by '\x1e'.
const char* page_live_errors();
// Moves the live clock (and the music after it) to `seconds`.
void page_live_seek(double seconds);
}
