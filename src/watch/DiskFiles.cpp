// The files on disk as live reload's source: whole reads, and writes that replace a file whole.
#include "DiskFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Writes all of `bytes` to `fd`, through partial writes and signals.
bool write_all(int fd, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

class DiskFiles : public FileSource {
public:
    FW::FileRead read(const std::string& path, std::string& bytes) override {
        return FW::read_file(path, bytes);
    }
    std::string write(const std::string& path, const std::string& bytes) override {
        return replace_file(path, bytes);
    }
};

}  // namespace

FileSource& disk_files() {
    static DiskFiles files;
    return files;
}

std::string refused_file_error(const std::string& path) {
    return "Cannot read " + path + ": not a regular file of at most " + std::to_string(FW::max_source_bytes >> 20) +
           " MiB";
}

std::string replace_file(const std::string& path, const std::string& bytes) {
    // Through a link, the file it names is replaced and the link stays.
    char resolved[PATH_MAX];
    const std::string target = realpath(path.c_str(), resolved) ? resolved : path;
    const std::string temporary = target + ".tmp";
    const auto failed = [&path](int code) {
        return "Cannot write " + path + ": " + std::strerror(code) + " (the file is unchanged)";
    };
    struct stat original;
    const mode_t mode = stat(target.c_str(), &original) == 0 ? original.st_mode & 07777 : 0644;
    // A file its owner made read-only is not replaced behind their back.
    if (access(target.c_str(), W_OK) != 0 && errno != ENOENT)
        return failed(errno);
    // A leftover of a killed run gives way; anything else there is not written through.
    unlink(temporary.c_str());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return failed(errno);
    bool ok = fchmod(fd, mode) == 0 && write_all(fd, bytes) && fsync(fd) == 0;
    int failure = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (ok && rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        unlink(temporary.c_str());
        return failed(failure);
    }
    return "";
}
