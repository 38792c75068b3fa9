// The recording keys' edits of a tracks file's text; see TrackEdit.h.
#include "TrackEdit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "LiveTimeline.h"
#include "Tracks.h"

namespace {

// The file's lines without their '\n'; `ended` tells whether the last one had it.
std::vector<std::string> split_lines(const std::string& text, bool& ended) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    ended = start == text.size();
    if (!ended)
        lines.push_back(text.substr(start));
    return lines;
}

std::string join_lines(const std::vector<std::string>& lines, bool ended) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size() || ended)
            text += '\n';
    }
    return text;
}

// The track named by a key line at `time`, or "" for any other line.
std::string track_keyed_at(const std::string& line, double time) {
    const std::vector<std::string> fields = key_fields(line);
    double line_time;
    if (fields.size() < 3 || !parse_number(fields[1], line_time) || std::fabs(line_time - time) > key_time_tolerance)
        return "";
    return fields[0];
}

std::string key_line(const std::string& name, double time, double value) {
    return name + " " + format_key_number(time) + " " + format_key_number(value) + " smooth";
}

}  // namespace

const double last_key_time = (LiveTimeline::show_length * 1000.0 - 1.0) / 1000.0;

double key_time(double t) {
    return std::min(std::round(t * 1000.0) / 1000.0, last_key_time);
}

double nearest_turn(double degrees, double reference) {
    return degrees + 360.0 * std::round((reference - degrees) / 360.0);
}

std::string format_key_number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string number = text;
    number.erase(number.find_last_not_of('0') + 1);
    if (number.back() == '.')
        number.pop_back();
    return number == "-0" ? "0" : number;
}

std::string record_keys(const std::string& text, double time,
                        const std::vector<std::pair<std::string, double>>& keys) {
    bool ended;
    std::vector<std::string> lines = split_lines(text, ended);
    std::vector<bool> written(keys.size(), false);
    std::vector<std::string> kept;
    for (std::string& line : lines) {
        const std::string name = track_keyed_at(line, time);
        size_t k = 0;
        while (k < keys.size() && keys[k].first != name)
            ++k;
        if (name.empty() || k == keys.size()) {
            kept.push_back(line);
        } else if (!written[k]) {
            const size_t comment = line.find('#');
            kept.push_back(key_line(name, time, keys[k].second) +
                           (comment == std::string::npos ? "" : " " + line.substr(comment)));
            written[k] = true;
        }
    }
    for (size_t k = 0; k < keys.size(); ++k)
        if (!written[k])
            kept.push_back(key_line(keys[k].first, time, keys[k].second));
    return join_lines(kept, true);
}

std::string remove_keys_at(const std::string& text, double time) {
    bool ended;
    std::vector<std::string> kept;
    for (std::string& line : split_lines(text, ended))
        if (track_keyed_at(line, time).empty())
            kept.push_back(line);
    return join_lines(kept, ended);
}
