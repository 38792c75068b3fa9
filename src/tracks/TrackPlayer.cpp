// The tracks file in a run: reload, per-frame values, uniforms, camera and the recording keys.
#include "TrackPlayer.h"

#include <algorithm>
#include <iostream>

#include "CameraPose.h"
#include "DiskFiles.h"
#include "LiveTimeline.h"
#include "TrackEdit.h"

namespace {

const size_t max_value_lines = 8;

std::string read_error(const std::string& path, FW::FileRead read) {
    if (read == FW::FileRead::missing)
        return "Cannot read " + path + ": no such file";
    return refused_file_error(path);
}

}  // namespace

bool TrackPlayer::load(const std::string& file_path) {
    path = file_path;
    std::string text;
    const FW::FileRead read = files->read(path, text);
    if (read != FW::FileRead::ok) {
        error = read_error(path, read);
        return false;
    }
    TrackParse parsed = parse_tracks(text, path);
    error = parsed.error;
    if (!error.empty())
        return false;
    take(std::move(text), std::move(parsed.set));
    return true;
}

void TrackPlayer::take(std::string text, TrackSet parsed) {
    seen = std::move(text);
    set = std::move(parsed);
    rule.new_version();
    error.clear();
    write_error.clear();
    values.assign(set.tracks.size(), 0.0f);
    uniform.assign(set.tracks.size(), false);
    camera_part.assign(set.tracks.size(), -1);
    has_camera = false;
    for (size_t i = 0; i < set.tracks.size(); ++i) {
        const std::string& name = set.tracks[i].name;
        uniform[i] = is_uniform_name(name);
        for (int part = 0; part < 5; ++part)
            if (name == camera_track_names[part]) {
                camera_part[i] = part;
                has_camera = true;
            }
    }
}

void TrackPlayer::poll(double now) {
    if (!pace.due(now))
        return;
    std::string bytes;
    const FW::FileRead read = files->read(path, bytes);
    // A missing or empty file is a save under way: read again next time.
    if (read == FW::FileRead::missing || (read == FW::FileRead::ok && bytes.empty()))
        return;
    if (read != FW::FileRead::ok) {
        const std::string refused = read_error(path, read) + " (the last good tracks stay)";
        if (error != refused)
            std::cout << refused << std::endl;
        error = refused;
        seen.clear();
        return;
    }
    const bool same = bytes == seen;
    if (same && !rule.failed_once)
        return;
    TrackParse parsed = parse_tracks(bytes, path);
    if (parsed.error.empty()) {
        take(std::move(bytes), std::move(parsed.set));
        std::cout << "Reloaded " << path << std::endl;
        return;
    }
    if (!same)
        rule.new_version();
    if (!rule.report()) {
        seen = std::move(bytes);
    } else {
        error = parsed.error + " (the last good tracks stay)";
        std::cout << error << std::endl;
    }
}

void TrackPlayer::frame(double t, FW::Camera& camera) {
    for (size_t i = 0; i < set.tracks.size(); ++i)
        values[i] = static_cast<float>(set.tracks[i].value_at(t));
    if (!has_camera || !follow_camera)
        return;
    // The parts without a track keep the camera's own.
    CameraPose pose = camera_pose(camera);
    float* parts[5] = {&pose.eye.x, &pose.eye.y, &pose.eye.z, &pose.yaw, &pose.pitch};
    for (size_t i = 0; i < set.tracks.size(); ++i)
        if (camera_part[i] >= 0)
            *parts[camera_part[i]] = values[i];
    place_camera(camera, pose);
}

void TrackPlayer::set_uniforms(GLuint program) const {
    for (size_t i = 0; i < set.tracks.size(); ++i) {
        if (!uniform[i])
            continue;
        const GLint location = glGetUniformLocation(program, set.tracks[i].name.c_str());
        if (location >= 0)
            glUniform1f(location, values[i]);
    }
}

bool TrackPlayer::edit(const std::function<std::string(const std::string&, const TrackSet&)>& change) {
    // The file as it is now, so that an edit saved in between is not lost.
    std::string text;
    const FW::FileRead read = files->read(path, text);
    const TrackParse current = parse_tracks(text, path);
    write_error.clear();
    if (read != FW::FileRead::ok)
        write_error = read_error(path, read) + " (nothing recorded)";
    else if (!current.error.empty())
        write_error = current.error + " (nothing recorded)";
    std::string changed = write_error.empty() ? change(text, current.set) : "";
    // A file that would not parse is not written: the next start would refuse it.
    TrackParse parsed = parse_tracks(changed, path);
    if (write_error.empty() && !parsed.error.empty())
        write_error = parsed.error + " (not written: the file is unchanged)";
    if (write_error.empty())
        write_error = files->write(path, changed);
    if (!write_error.empty()) {
        std::cout << write_error << std::endl;
        return false;
    }
    take(std::move(changed), std::move(parsed.set));
    std::cout << "Wrote " << path << std::endl;
    return true;
}

bool TrackPlayer::record(double t, const FW::Camera& camera) {
    const CameraPose pose = camera_pose(camera);
    const double time = key_time(t);
    return edit([&](const std::string& text, const TrackSet& current) {
        // The camera's yaw is read back within one turn; the track's may be any angle.
        const Track* yaw_track = current.find(camera_track_names[3]);
        const double yaw = yaw_track ? nearest_turn(pose.yaw, yaw_track->value_at(time)) : pose.yaw;
        const double parts[5] = {pose.eye.x, pose.eye.y, pose.eye.z, yaw, pose.pitch};
        std::vector<std::pair<std::string, double>> keys;
        for (int part = 0; part < 5; ++part)
            keys.emplace_back(camera_track_names[part], parts[part]);
        return record_keys(text, time, keys);
    });
}

bool TrackPlayer::remove(double t) {
    const double time = std::min(t, last_key_time);
    return edit([time](const std::string& text, const TrackSet&) { return remove_keys_at(text, time); });
}

std::vector<std::string> TrackPlayer::error_lines() const {
    std::vector<std::string> lines;
    for (const std::string* text : {&error, &write_error})
        if (!text->empty())
            lines.push_back(*text);
    return lines;
}

std::vector<std::string> TrackPlayer::value_lines() const {
    std::vector<std::string> lines;
    for (size_t i = 0; i < set.tracks.size() && i < max_value_lines; ++i)
        lines.push_back(set.tracks[i].name + " " + format_key_number(values[i]));
    return lines;
}

bool apply_track_key(TrackPlayer& player, LiveTimeline* timeline, FW::Camera& camera, int key, int action,
                     double wall_now) {
    const bool recording_key = key == GLFW_KEY_K || key == GLFW_KEY_X || key == GLFW_KEY_LEFT_BRACKET ||
                               key == GLFW_KEY_RIGHT_BRACKET;
    if (key == GLFW_KEY_C && player.can_fly) {
        if (action == GLFW_PRESS)
            player.follow_camera = !player.follow_camera;
        return true;
    }
    if (!recording_key || !timeline)
        return false;
    const double t = timeline->position(wall_now);
    if (key == GLFW_KEY_K && action == GLFW_PRESS)
        player.record(t, camera);
    else if (key == GLFW_KEY_X && action == GLFW_PRESS)
        player.remove(t);
    else if (action != GLFW_RELEASE && (key == GLFW_KEY_LEFT_BRACKET || key == GLFW_KEY_RIGHT_BRACKET)) {
        // No key that way: the clock (and the music) stay where they are.
        const double to = player.set.neighbour_key_time(t, key == GLFW_KEY_RIGHT_BRACKET ? 1 : -1);
        if (to != t)
            timeline->set(to, wall_now);
    }
    return true;
}
