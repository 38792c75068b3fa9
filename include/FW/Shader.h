#pragma once

#include <cstddef>
#include <string>

#include "FW/GL.h"

namespace FW {

// The largest shader source that is read: far above any real one, and small
// enough that a wrong file cannot stall a frame.
const std::size_t max_source_bytes = 4 << 20;

// How a whole-file read went. Only regular files are read: a named pipe, a
// device or a directory (also behind a link) is `unreadable` and is never
// read from, so it cannot block or run on without end.
enum class FileRead { ok, missing, unreadable, too_large };

// Reads a whole file of at most `limit` bytes, byte for byte, with no message.
FileRead read_file(const std::string& path, std::string& content, std::size_t limit = max_source_bytes);
// Reads a whole shader source, byte for byte. Ends the process when it cannot be read.
std::string load_file(std::string path);

class VertexShader {
public:
    GLuint handle = 0;
    VertexShader() = default;
    VertexShader(const VertexShader&) = delete;
    VertexShader& operator=(const VertexShader&) = delete;
    ~VertexShader();
    void load(std::string path);
};

class FragmentShader {
public:
    GLuint handle = 0;
    FragmentShader() = default;
    FragmentShader(const FragmentShader&) = delete;
    FragmentShader& operator=(const FragmentShader&) = delete;
    ~FragmentShader();
    void load(std::string path);
};

class ShaderProgram {
public:
    GLuint handle = 0;
    ShaderProgram() = default;
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;
    ~ShaderProgram();
    void link(VertexShader& vertex, FragmentShader& fragment);
    void load(std::string vertex_path, std::string fragment_path);
    // Deletes the program held so far and takes `new_handle` in its place.
    void replace(GLuint new_handle);
};

// A program built from source texts without ending the process on failure
// (live reload): `handle` is 0 when a stage failed, `failed_stage` then says
// which one and `log` holds the compiler's or linker's whole log.
struct ProgramBuild {
    enum class Stage { none, vertex, fragment, link };
    GLuint handle = 0;
    Stage failed_stage = Stage::none;
    std::string log;
};
ProgramBuild build_program(const std::string& vertex_source, const std::string& fragment_source);

}  // namespace FW
