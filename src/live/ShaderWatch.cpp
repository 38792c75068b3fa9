// Live reload of the shader programs; see ShaderWatch.h.
#include "ShaderWatch.h"

#include <iostream>
#include <sstream>

void ShaderWatch::watch(std::function<FW::ShaderProgram&()> program, const std::string& vertex_path,
                        const std::string& fragment_path, std::function<void(GLuint)> set_uniforms) {
    Entry entry;
    entry.program = std::move(program);
    entry.paths[0] = vertex_path;
    entry.paths[1] = fragment_path;
    entry.set_uniforms = std::move(set_uniforms);
    for (int i = 0; i < 2; ++i)
        files->read(entry.paths[i], entry.sources[i]);
    entries.push_back(std::move(entry));
}

int ShaderWatch::detect(double now) {
    if (!pace.due(now))
        return 0;
    int stale = 0;
    std::string bytes;
    for (Entry& entry : entries) {
        const bool was_refused = entry.refused[0] || entry.refused[1];
        for (int i = 0; i < 2; ++i) {
            const FW::FileRead read = files->read(entry.paths[i], bytes);
            const bool refused = read == FW::FileRead::unreadable || read == FW::FileRead::too_large;
            // A file readable again is built whatever its bytes: the error must go.
            entry.changed[i] = entry.changed[i] || (entry.refused[i] && !refused);
            entry.refused[i] = refused;
            if (read == FW::FileRead::ok && !bytes.empty() && bytes != entry.sources[i]) {
                entry.sources[i].swap(bytes);
                entry.changed[i] = true;
                entry.rule.new_version();
            }
        }
        const bool is_refused = entry.refused[0] || entry.refused[1];
        stale += entry.changed[0] || entry.changed[1] || is_refused != was_refused;
    }
    return stale;
}

namespace {

// The changed files of an entry, or the file of the failed stage.
std::string file_names(const ShaderWatch::Entry& entry, FW::ProgramBuild::Stage failed) {
    if (failed == FW::ProgramBuild::Stage::vertex)
        return entry.paths[0];
    if (failed == FW::ProgramBuild::Stage::fragment)
        return entry.paths[1];
    if (failed == FW::ProgramBuild::Stage::link || (entry.changed[0] && entry.changed[1]))
        return entry.paths[0] + " and " + entry.paths[1];
    return entry.changed[0] ? entry.paths[0] : entry.paths[1];
}

}  // namespace

void ShaderWatch::rebuild() {
    for (Entry& entry : entries) {
        if (entry.refused[0] || entry.refused[1]) {
            const std::string& path = entry.paths[entry.refused[0] ? 0 : 1];
            const std::string error = refused_file_error(path) + " (the last working program stays)";
            if (entry.error != error)
                std::cout << error << std::endl;
            entry.error = error;
            continue;
        }
        if (!entry.changed[0] && !entry.changed[1])
            continue;
        FW::ProgramBuild build = FW::build_program(entry.sources[0], entry.sources[1]);
        if (!build.handle && !entry.rule.report())
            continue;
        const std::string names = file_names(entry, build.failed_stage);
        entry.changed[0] = entry.changed[1] = false;
        entry.rule.new_version();
        if (!build.handle) {
            const char* what = build.failed_stage == FW::ProgramBuild::Stage::link ? "link" : "compile";
            entry.error = "Shader " + std::string(what) + " error in " + names + " (the last working program stays):\n" + build.log;
            std::cout << entry.error << std::endl;
            continue;
        }
        entry.program().replace(build.handle);
        glUseProgram(build.handle);
        if (entry.set_uniforms)
            entry.set_uniforms(build.handle);
        entry.error.clear();
        std::cout << "Reloaded " << names << std::endl;
    }
    error_lines.clear();
    for (const Entry& entry : entries) {
        std::istringstream text(entry.error);
        for (std::string line; std::getline(text, line);)
            if (!line.empty())
                error_lines.push_back(line);
    }
}

void ShaderWatch::poll(double now) {
    if (detect(now))
        rebuild();
}
