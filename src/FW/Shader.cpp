// File loading and shader programs: compile, link, report failures, reload in live mode.
#include "FW/Shader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <iostream>

#include "FW/Window.h"

namespace FW {

namespace {

[[noreturn]] void fail_to_open(const std::string& path) {
    std::cerr << "Error opening file: " << path << std::endl;
    exit(-1);
}

// Shaders and programs may outlive the context (process-exit destructors):
// release them only while GL can still be called.
void delete_shader(GLuint handle) {
    if (handle && gl_available())
        glDeleteShader(handle);
}

// The whole info log of a shader or program, without the terminating null.
std::string info_log(GLuint object, bool program) {
    GLint length = 0;
    if (program)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        if (program)
            glGetProgramInfoLog(object, length, nullptr, log.data());
        else
            glGetShaderInfoLog(object, length, nullptr, log.data());
    }
    log.resize(log.find('\0') == std::string::npos ? log.size() : log.find('\0'));
    return log;
}

#ifdef __EMSCRIPTEN__
// The source as WebGL 2 (OpenGL ES 3.0) takes it: a "#version 330 core" first
// line becomes "#version 300 es" with highp defaults on the next line, and
// the lines after it keep their numbers in the compiler's log.
std::string es_shader_source(const std::string& source) {
    const std::string desktop = "#version 330 core";
    if (source.compare(0, desktop.size(), desktop) != 0)
        return source;
    return "#version 300 es\nprecision highp float; precision highp int; precision highp sampler2D;\n#line 2" +
           source.substr(desktop.size());
}
#endif

// Compiles one stage from source text; 0 and the log when it fails.
GLuint try_compile(GLenum type, const std::string& source, std::string& log) {
    GLuint handle = glCreateShader(type);
#ifdef __EMSCRIPTEN__
    const std::string es_source = es_shader_source(source);
    const char* text = es_source.c_str();
#else
    const char* text = source.c_str();
#endif
    glShaderSource(handle, 1, &text, nullptr);
    glCompileShader(handle);
    GLint success = 0;
    glGetShaderiv(handle, GL_COMPILE_STATUS, &success);
    if (success)
        return handle;
    log = info_log(handle, false);
    glDeleteShader(handle);
    return 0;
}

// Links the two stages into a new program; 0 and the log when it fails.
GLuint try_link(GLuint vertex, GLuint fragment, std::string& log) {
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    GLint success = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &success);
    if (success)
        return program;
    log = info_log(program, true);
    glDeleteProgram(program);
    return 0;
}

// A start-up failure: the message and the start of the log (what a 512-byte
// log buffer holds), then the process ends.
[[noreturn]] void fail_to_build(const char* failure_message, const std::string& log) {
    std::cout << failure_message << "\n" << log.substr(0, 511) << std::endl;
    exit(-1);
}

// Compiles one shader stage from a file; the message names the stage.
GLuint compile(GLenum type, const std::string& path, const char* failure_message) {
    std::string log;
    const GLuint handle = try_compile(type, load_file(path), log);
    if (!handle)
        fail_to_build(failure_message, log);
    return handle;
}

}  // namespace

FileRead read_file(const std::string& path, std::string& content, std::size_t limit) {
    // Opening does not wait for a pipe's writer; what was opened is then checked
    // before a byte is read.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? FileRead::missing : FileRead::unreadable;
    struct stat info;
    FileRead result = FileRead::ok;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        result = FileRead::unreadable;
    else if (static_cast<std::uintmax_t>(info.st_size) > limit)
        result = FileRead::too_large;
    // Reading stops at the size fstat gave: a file still being written is read
    // again by whoever watches it.
    std::string bytes(result == FileRead::ok ? static_cast<std::size_t>(info.st_size) : 0, '\0');
    std::size_t length = 0;
    while (length < bytes.size()) {
        const ssize_t got = read(fd, &bytes[length], bytes.size() - length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            result = FileRead::unreadable;
        if (got <= 0)
            break;
        length += static_cast<std::size_t>(got);
    }
    close(fd);
    if (result == FileRead::ok) {
        bytes.resize(length);
        content.swap(bytes);
    }
    return result;
}

std::string load_file(std::string path) {
    std::string content;
    if (read_file(path, content) != FileRead::ok)
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
    std::string log;
    handle = try_link(vertex.handle, fragment.handle, log);
    if (!handle)
        fail_to_build("ERROR::SHADER::LINK_FAILED", log);
}

void ShaderProgram::replace(GLuint new_handle) {
    if (handle)
        glDeleteProgram(handle);
    handle = new_handle;
}

ProgramBuild build_program(const std::string& vertex_source, const std::string& fragment_source) {
    ProgramBuild build;
    const GLuint vertex = try_compile(GL_VERTEX_SHADER, vertex_source, build.log);
    if (!vertex) {
        build.failed_stage = ProgramBuild::Stage::vertex;
        return build;
    }
    const GLuint fragment = try_compile(GL_FRAGMENT_SHADER, fragment_source, build.log);
    if (!fragment) {
        glDeleteShader(vertex);
        build.failed_stage = ProgramBuild::Stage::fragment;
        return build;
    }
    build.handle = try_link(vertex, fragment, build.log);
    // The shaders go with the program, as after a start-up load.
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (!build.handle)
        build.failed_stage = ProgramBuild::Stage::link;
    return build;
}

void ShaderProgram::load(std::string vertex_path, std::string fragment_path) {
    VertexShader vertex;
    vertex.load(vertex_path);
    FragmentShader fragment;
    fragment.load(fragment_path);
    link(vertex, fragment);
}

}  // namespace FW
