#include "FW/Shader.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "FW/Window.h"

namespace FW {

namespace {

[[noreturn]] void fail_to_open(const std::string& path) {
    std::cerr << "Error opening file: " << path << std::endl;
    exit(-1);
}

// Compiles one shader stage from a file; the message names the stage.
GLuint compile(GLenum type, const std::string& path, const char* failure_message) {
    GLuint handle = glCreateShader(type);
    std::string source = load_file(path);
    const char* text = source.c_str();
    glShaderSource(handle, 1, &text, nullptr);
    glCompileShader(handle);
    GLint success = 0;
    glGetShaderiv(handle, GL_COMPILE_STATUS, &success);
    if (!success) {
        char log[512] = {};
        glGetShaderInfoLog(handle, 512, nullptr, log);
        std::cout << failure_message << "\n" << log << std::endl;
        exit(-1);
    }
    return handle;
}

// Shaders and programs may outlive the context (process-exit destructors):
// release them only while GL can still be called.
void delete_shader(GLuint handle) {
    if (handle && gl_available())
        glDeleteShader(handle);
}

}  // namespace

std::string load_file(std::string path) {
    std::ifstream file(path, std::ios::in | std::ios::binary);
    // A directory opens as a stream too, but has no content to read.
    std::error_code ignored;
    if (!file.good() || std::filesystem::is_directory(path, ignored))
        fail_to_open(path);
    file.seekg(0, std::ios::end);
    std::streampos size = file.tellg();
    if (size < 0)
        fail_to_open(path);
    std::string content;
    content.reserve(static_cast<size_t>(size));
    file.seekg(0, std::ios::beg);
    content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad())
        fail_to_open(path);
    return content;
}

VertexShader::~VertexShader() {
    delete_shader(handle);
}

void VertexShader::load(std::string path) {
    handle = compile(GL_VERTEX_SHADER, path, "ERROR::SHADER::VERTEX::COMPILATION_FAILED");
}

FragmentShader::~FragmentShader() {
    delete_shader(handle);
}

void FragmentShader::load(std::string path) {
    handle = compile(GL_FRAGMENT_SHADER, path, "ERROR::SHADER::FRAGMENT::COMPILATION_FAILED");
}

ShaderProgram::~ShaderProgram() {
    if (handle && gl_available())
        glDeleteProgram(handle);
}

void ShaderProgram::link(VertexShader& vertex, FragmentShader& fragment) {
    handle = glCreateProgram();
    glAttachShader(handle, vertex.handle);
    glAttachShader(handle, fragment.handle);
    glLinkProgram(handle);
    GLint success = 0;
    glGetProgramiv(handle, GL_LINK_STATUS, &success);
    if (!success) {
        char log[512] = {};
        glGetProgramInfoLog(handle, 512, nullptr, log);
        std::cout << "ERROR::SHADER::LINK_FAILED\n" << log << std::endl;
        exit(-1);
    }
}

void ShaderProgram::load(std::string vertex_path, std::string fragment_path) {
    VertexShader vertex;
    vertex.load(vertex_path);
    FragmentShader fragment;
    fragment.load(fragment_path);
    link(vertex, fragment);
}

}  // namespace FW
