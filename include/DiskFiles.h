#pragma once

#include <string>

#include "FileSource.h"

// The files on disk as a source of file versions (native live mode).
FileSource& disk_files();

// Writes `bytes` to a temporary file beside `path` and renames it over `path`,
// so that a reader sees the old file or the new one, whole. Returns the
// reason of a failure ("" on success); the file at `path` is then unchanged.
std::string replace_file(const std::string& path, const std::string& bytes);

// Names a watched file that is there but is not read: not a regular file of
// at most FW::max_source_bytes.
std::string refused_file_error(const std::string& path);
