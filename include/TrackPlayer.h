#pragma once

#include <functional>
#include <string>
#include <vector>

#include "DiskFiles.h"
#include "FW/Camera.h"
#include "FW/GL.h"
#include "ReloadRule.h"
#include "Tracks.h"

class LiveTimeline;

// The tracks of "--tracks FILE" in a run: evaluated at every frame's time,
// set as float uniforms and placing the scene's camera; in live mode the file
// is watched and reloaded, and the recording keys write it.
class TrackPlayer {
public:
    std::string path;
    // The tracks in force, and their values at the frame's time (one per track).
    TrackSet set;
    std::vector<float> values;
    // Whether the camera tracks place the camera; `C` toggles it where the
    // camera is flown (explore mode).
    bool follow_camera = true;
    bool can_fly = false;

    // Live reload. Bytes that parse are taken at once; bytes that fail are
    // reported only when a later poll reads the same bytes (a save caught
    // half-way fails once, silently), and the last good tracks stay.
    PollPace pace;
    TwoPollRule rule;
    std::string seen;  // the bytes last read or written
    // Where the file is read and the recording keys write: the disk, or the page's editor.
    FileSource* files = &disk_files();
    // The file's error, shown until a version parses; a failed write's, until a write succeeds.
    std::string error;
    std::string write_error;

    // Reads and parses the file; false with the message ("FILE:LINE: ...") in `error`.
    bool load(const std::string& file_path);
    void poll(double now);
    // Evaluates every track at `t` and, when following, places the camera.
    void frame(double t, FW::Camera& camera);
    // Sets the frame's value of each track named by a GLSL identifier on the
    // bound `program`, where it has that uniform.
    void set_uniforms(GLuint program) const;
    // The recording keys: keys of the five camera tracks at `t` from the
    // camera, or no key of any track at `t`. The file is read again and written
    // whole through a temporary file; false when it was left as it was. The
    // recorded yaw is the camera's turned nearest to the yaw track's value.
    bool record(double t, const FW::Camera& camera);
    bool remove(double t);
    // The texts over the picture: the errors, and one line per track value (at most 8).
    std::vector<std::string> error_lines() const;
    std::vector<std::string> value_lines() const;

private:
    // Per track: set as a uniform, or which camera track it is (-1: none).
    std::vector<bool> uniform;
    std::vector<int> camera_part;
    bool has_camera = false;

    void take(std::string text, TrackSet parsed);
    // Applies `change` to the file's text as it is now (and its tracks); refuses
    // to write a result that would not parse.
    bool edit(const std::function<std::string(const std::string&, const TrackSet&)>& change);
};

// Applies a tracks key (C in explore mode; in live mode K, X, [ and ]) with
// GLFW's key code and action; true when the key is one of them. `timeline`
// is null outside live mode.
bool apply_track_key(TrackPlayer& player, LiveTimeline* timeline, FW::Camera& camera, int key, int action,
                     double wall_now);

