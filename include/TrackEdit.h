#pragma once

#include <string>
#include <utility>
#include <vector>

// Edits of a tracks file's text for the recording keys: keys are replaced,
// added and removed line by line, so that comments, blank lines and the
// order of the other lines stay as the person wrote them.

// The last time a key can have: the last millisecond before the show's end.
extern const double last_key_time;

// A recording key's time: the demo time rounded to the millisecond, at most
// last_key_time (a clock in the show's last half millisecond would round to its end).
double key_time(double t);
// `degrees` moved by whole turns to lie nearest to `reference`: a recorded yaw
// goes on from the yaw track's value instead of turning the long way round.
double nearest_turn(double degrees, double reference);
// A number as a key line writes it: at most four decimals, no trailing zeros.
std::string format_key_number(double value);

// Sets `smooth` keys at `time` for the named tracks: a track's key line at that
// time (within key_time_tolerance) is rewritten in place, keeping its comment;
// the others are added at the end, in the order given.
std::string record_keys(const std::string& text, double time,
                        const std::vector<std::pair<std::string, double>>& keys);
// Removes the key lines of every track at `time` (within key_time_tolerance).
std::string remove_keys_at(const std::string& text, double time);
