#pragma once

#include <string>
#include <vector>

// Keyframed tracks: named values with keys on the show's timeline, read from
// a plain text file of lines `NAME TIME VALUE [INTERPOLATION]` (`#` starts a
// comment). Pure logic: the player (TrackPlayer.h) sets them as uniforms and
// places the camera with them.

// How a value goes from a key to the next key of its track; u runs from 0 to 1.
enum class Interpolation { step, linear, smooth, ramp };

struct TrackKey {
    double time;
    double value;
    Interpolation interpolation;
    int line;  // in the file, from 1
};

struct Track {
    std::string name;
    std::vector<TrackKey> keys;  // ascending time, no two at one time

    // Holds the first key's value before it and the last key's after it.
    double value_at(double t) const;
};

// The five tracks that place the camera, in the order they are recorded:
// eye position in scene units, then yaw and pitch in degrees.
extern const char* const camera_track_names[5];

// Tracks in the order their names first appear in the file.
struct TrackSet {
    std::vector<Track> tracks;

    const Track* find(const std::string& name) const;
    int key_count() const;
    // The nearest key time of any track strictly before (direction -1) or
    // after (+1) `t` by more than `key_time_tolerance`; `t` itself when none.
    double neighbour_key_time(double t, int direction) const;
};

// Times within this of each other are one time for the keys: what the
// recording keys write is rounded to a millisecond.
const double key_time_tolerance = 0.0005;

// A parsed file, or the first error as "FILE:LINE: what is wrong".
struct TrackParse {
    TrackSet set;
    std::string error;
};

TrackParse parse_tracks(const std::string& text, const std::string& file_name);
// The fields of one line of the file, its comment left out (none for a blank line).
std::vector<std::string> key_fields(const std::string& line);
// The time field's value, as the parser reads it; false when it is no number.
bool parse_number(const std::string& field, double& out);
// A GLSL identifier that the shaders may declare (not reserved with gl_).
bool is_uniform_name(const std::string& name);
bool is_camera_track(const std::string& name);
double interpolate(Interpolation shape, double from, double to, double u);
