#pragma once

#include <string>

#include "FW/GL.h"

namespace FW {

// Reads a whole file, byte for byte; false when it cannot be read (a missing
// file, a directory), with no message.
bool read_file(const std::string& path, std::string& content);
// Reads a whole file, byte for byte. Ends the process when it cannot be read.
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
