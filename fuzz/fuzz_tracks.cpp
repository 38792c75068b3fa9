// Fuzzes the tracks file's parser and the recording keys' edits: the input is a file's text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "TrackEdit.h"
#include "Tracks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const TrackParse parsed = parse_tracks(text, "fuzz.tracks");
    // A refusal names the file and a line.
    if (!parsed.error.empty()) {
        if (parsed.error.rfind("fuzz.tracks:", 0) != 0)
            abort();
        return 0;
    }
    for (const Track& track : parsed.set.tracks)
        for (double t : {-1.0, 0.0, 13.37, 57.99, 100.0})
            if (!std::isfinite(track.value_at(t)))
                abort();
    // A file that parses still does after the keys record and remove, with the recorded key in force.
    const TrackParse recorded = parse_tracks(record_keys(text, 12.5, {{"camera.x", 1.5}}), "fuzz.tracks");
    if (!recorded.error.empty() || recorded.set.find("camera.x")->value_at(12.5) != 1.5)
        abort();
    if (!parse_tracks(remove_keys_at(text, 12.5), "fuzz.tracks").error.empty())
        abort();
    return 0;
}
