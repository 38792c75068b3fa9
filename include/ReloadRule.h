#pragma once

// The pace and the two-poll rule of live reload, shared by the shaders and the tracks.

// Looks at the watched files at most once every `interval` seconds.
class PollPace {
public:
    double interval = 0.2;
    // Long before any clock reading: the first look is due at once.
    static constexpr double never = -1.0e9;
    double last_poll = never;
    // True when `interval` has passed since the last look, which is then `now`.
    bool due(double now);
    // The next look is due at once, whatever the pace (a new text from the page's editor).
    void hurry() { last_poll = never; }
};

// A version that fails may be a save caught half-way: it is reported only
// when the next look finds the same bytes failing again.
class TwoPollRule {
public:
    bool failed_once = false;
    // New bytes were read: their first failure is silent again.
    void new_version();
    // The version failed: true when it is to be reported now (its second failure).
    bool report();
};
