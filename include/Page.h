#pragma once

// The browser build's bridge to its page (web/index.html): the page keeps
// the demo clock (the music's, or the wall clock when sound cannot start),
// shows the state and offers the replay.
extern "C" {
// The demo clock in seconds.
double page_clock();
// The frame for demo time `seconds` is drawn.
void page_frame_drawn(double seconds);
// The show (or a still) is over: the page stops the frames and offers a replay.
void page_show_ended();
}
// Whether the context has WEBGL_multi_draw, which glMultiDrawArrays needs.
bool page_has_multi_draw();
