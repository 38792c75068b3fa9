// Keyframed tracks: the file's parser and the interpolation between keys; see Tracks.h.
#include "Tracks.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "LiveTimeline.h"

const char* const camera_track_names[5] = {"camera.x", "camera.y", "camera.z", "camera.yaw", "camera.pitch"};

namespace {

const char* const interpolation_names[] = {"step", "linear", "smooth", "ramp"};

bool is_identifier_char(char c, bool first) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || (!first && c >= '0' && c <= '9');
}

bool parse_interpolation(const std::string& field, Interpolation& out) {
    for (int i = 0; i < 4; ++i)
        if (field == interpolation_names[i]) {
            out = static_cast<Interpolation>(i);
            return true;
        }
    return false;
}

// One line's key, or the reason it is none.
std::string parse_key(const std::vector<std::string>& fields, TrackKey& key) {
    if (fields.size() < 3 || fields.size() > 4)
        return "expected NAME TIME VALUE [step|linear|smooth|ramp], found " + std::to_string(fields.size()) +
               " fields";
    if (!is_uniform_name(fields[0]) && !is_camera_track(fields[0]))
        return "bad track name \"" + fields[0] +
               "\" (a GLSL identifier not starting with gl_, or camera.x, .y, .z, .yaw, .pitch)";
    if (!parse_number(fields[1], key.time))
        return "time \"" + fields[1] + "\" is not a finite number";
    if (key.time < 0.0 || key.time >= LiveTimeline::show_length)
        return "time " + fields[1] + " is outside the show (0 up to below " +
               std::to_string(static_cast<int>(LiveTimeline::show_length)) + " s)";
    if (!parse_number(fields[2], key.value) || std::fabs(key.value) > FLT_MAX)
        return "value \"" + fields[2] + "\" is not a finite number of float range";
    key.interpolation = Interpolation::linear;
    if (fields.size() == 4 && !parse_interpolation(fields[3], key.interpolation))
        return "unknown interpolation \"" + fields[3] + "\" (step, linear, smooth or ramp)";
    return "";
}

}  // namespace

bool is_uniform_name(const std::string& name) {
    if (name.empty() || name.compare(0, 3, "gl_") == 0)
        return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (!is_identifier_char(name[i], i == 0))
            return false;
    return true;
}

bool is_camera_track(const std::string& name) {
    return std::find(std::begin(camera_track_names), std::end(camera_track_names), name) !=
           std::end(camera_track_names);
}

bool parse_number(const std::string& field, double& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtod(field.c_str(), &end);
    // Denormals set ERANGE too, and are finite: only the overflow is refused.
    return !field.empty() && *end == '\0' && std::isfinite(out);
}

std::vector<std::string> key_fields(const std::string& line) {
    std::vector<std::string> fields;
    const size_t end = std::min(line.find('#'), line.size());
    size_t i = 0;
    while (i < end) {
        while (i < end && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        const size_t start = i;
        while (i < end && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

double interpolate(Interpolation shape, double from, double to, double u) {
    switch (shape) {
    case Interpolation::step:
        return from;
    case Interpolation::smooth:
        u = u * u * (3.0 - 2.0 * u);
        break;
    case Interpolation::ramp:
        u = u * u;
        break;
    case Interpolation::linear:
        break;
    }
    return from + (to - from) * u;
}

double Track::value_at(double t) const {
    if (t <= keys.front().time)
        return keys.front().value;
    if (t >= keys.back().time)
        return keys.back().value;
    // The first key after t, and the one before it.
    const auto next = std::upper_bound(keys.begin(), keys.end(), t,
                                       [](double time, const TrackKey& key) { return time < key.time; });
    const TrackKey& from = *(next - 1);
    return interpolate(from.interpolation, from.value, next->value, (t - from.time) / (next->time - from.time));
}

const Track* TrackSet::find(const std::string& name) const {
    for (const Track& track : tracks)
        if (track.name == name)
            return &track;
    return nullptr;
}

int TrackSet::key_count() const {
    int count = 0;
    for (const Track& track : tracks)
        count += static_cast<int>(track.keys.size());
    return count;
}

double TrackSet::neighbour_key_time(double t, int direction) const {
    // The smallest distance ahead in the direction beyond the tolerance.
    double nearest = HUGE_VAL, time = t;
    for (const Track& track : tracks)
        for (const TrackKey& key : track.keys) {
            const double ahead = (key.time - t) * direction;
            if (ahead > key_time_tolerance && ahead < nearest) {
                nearest = ahead;
                time = key.time;
            }
        }
    return time;
}

TrackParse parse_tracks(const std::string& text, const std::string& file_name) {
    TrackParse result;
    std::vector<Track>& tracks = result.set.tracks;
    std::unordered_map<std::string, size_t> index;  // name to track
    int line_number = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++line_number;
        const std::vector<std::string> fields = key_fields(text.substr(start, end - start));
        start = end + 1;
        if (fields.empty())
            continue;
        TrackKey key;
        key.line = line_number;
        const std::string error = parse_key(fields, key);
        if (!error.empty()) {
            result.error = file_name + ":" + std::to_string(line_number) + ": " + error;
            tracks.clear();
            return result;
        }
        const auto found = index.emplace(fields[0], tracks.size());
        if (found.second)
            tracks.push_back(Track{fields[0], {}});
        tracks[found.first->second].keys.push_back(key);
    }
    // Sorted, two keys of a track at one time are neighbours: the one met
    // first in the file is named at the other's line.
    const TrackKey* first_duplicate = nullptr;
    int duplicate_line = line_number + 1;
    const std::string* duplicate_name = nullptr;
    for (Track& track : tracks) {
        std::stable_sort(track.keys.begin(), track.keys.end(),
                         [](const TrackKey& a, const TrackKey& b) { return a.time < b.time; });
        for (size_t i = 1; i < track.keys.size(); ++i) {
            const TrackKey& a = track.keys[i - 1];
            const TrackKey& b = track.keys[i];
            if (a.time == b.time && std::max(a.line, b.line) < duplicate_line) {
                duplicate_line = std::max(a.line, b.line);
                first_duplicate = a.line < b.line ? &a : &b;
                duplicate_name = &track.name;
            }
        }
    }
    if (first_duplicate) {
        result.error = file_name + ":" + std::to_string(duplicate_line) + ": duplicate key: " + *duplicate_name +
                       " has a key at this time on line " + std::to_string(first_duplicate->line);
        tracks.clear();
    }
    return result;
}
