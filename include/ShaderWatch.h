#pragma once

#include <functional>
#include <string>
#include <vector>

#include "DiskFiles.h"
#include "FW/Shader.h"
#include "ReloadRule.h"

// Live reload of shader programs: polls the source files of the watched
// programs, and when the bytes of one change, builds the program again. A new
// version that builds replaces the old program at once; one that fails keeps
// the last working program, and when the same bytes fail again at the next
// poll (not a save caught half-way), leaves its log in `error` until a later
// version builds. A file that is there but is no regular file of sane size
// keeps the last program too and is named in `error` until it can be read.

class ShaderWatch {
public:
    struct Entry {
        // The program, reached only when a new version is built.
        std::function<FW::ShaderProgram&()> program;
        std::string paths[2];  // vertex, fragment
        std::string sources[2];  // the bytes last read
        bool changed[2] = {false, false};  // since the last build
        // Sources that failed once, silently, are built again at the next poll.
        TwoPollRule rule;
        bool refused[2] = {false, false};  // there, but not a file that is read
        // Sets again the uniforms that start-up set on the program (bound).
        std::function<void(GLuint)> set_uniforms;
        // Names the file and holds the log of a failed version; empty while the program builds.
        std::string error;
    };

    PollPace pace;
    // Where the files are read: the disk, or the page's editor.
    FileSource* files = &disk_files();
    std::vector<Entry> entries;
    // The errors of all failing programs, one text line per element, as the
    // last rebuild left them.
    std::vector<std::string> error_lines;

    // Watches the program that `program` returns, loaded from the two files.
    // Their bytes now are taken as the version it holds: watch before the
    // program is loaded, so that a save in between is not missed.
    void watch(std::function<FW::ShaderProgram&()> program, const std::string& vertex_path,
               const std::string& fragment_path, std::function<void(GLuint)> set_uniforms);
    // Reads the files when `interval` has passed since the last read and notes
    // the entries whose bytes changed or whose file became refused or readable
    // again; returns how many programs want a rebuild. A file that is missing
    // or empty (half-saved) is read again next time.
    int detect(double now);
    // Builds every entry noted by `detect`; prints one line per new program,
    // and the log once per failed version or refused file.
    void rebuild();
    void poll(double now);
};
