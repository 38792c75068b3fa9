#pragma once

#include <string>

#include "FW/GL.h"

namespace FW {

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
};

}  // namespace FW
