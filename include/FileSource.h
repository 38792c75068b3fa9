#pragma once

#include <string>

#include "FW/Shader.h"

// Where live reload reads the versions of its files and where the recording
// keys write: the files on disk natively, the page's editor in the browser.
class FileSource {
public:
    virtual ~FileSource() = default;
    // The whole current version of `path`, as FW::read_file reads a file.
    virtual FW::FileRead read(const std::string& path, std::string& bytes) = 0;
    // Replaces the whole of `path` with `bytes`. Returns the reason of a
    // failure ("" on success); the file is then unchanged.
    virtual std::string write(const std::string& path, const std::string& bytes) = 0;
};
