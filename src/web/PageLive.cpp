// The page's live mode: the editor's texts as live reload's files, the
// recording keys' writes sent back to the editor, the errors and the clock.
#include "PageLive.h"

#include <emscripten.h>

#include <map>

#include "LiveMode.h"
#include "TrackPlayer.h"

EM_JS(void, page_live_written, (const char* path, const char* text),
      { Module.page.liveWritten(UTF8ToString(path), UTF8ToString(text)); });

namespace {

// The editor's texts; a file it never gave is read from the packed site.
class PageFiles : public FileSource {
public:
    std::map<std::string, std::string> texts;

    FW::FileRead read(const std::string& path, std::string& bytes) override {
        const auto text = texts.find(path);
        if (text == texts.end())
            return FW::read_file(path, bytes);
        bytes = text->second;
        return FW::FileRead::ok;
    }
    std::string write(const std::string& path, const std::string& bytes) override {
        texts[path] = bytes;
        page_live_written(path.c_str(), bytes.c_str());
        return "";
    }
};

PageFiles page_files;
LiveMode* attached = nullptr;
std::string errors;

void add_error(const std::string& path, const std::string& message) {
    if (message.empty())
        return;
    if (!errors.empty())
        errors += '\x1e';
    errors += path + '\x1f' + message;
}

}  // namespace

void page_live_attach(LiveMode& live) {
    attached = &live;
    live.watch.files = &page_files;
    if (live.tracks)
        live.tracks->files = &page_files;
}

EMSCRIPTEN_KEEPALIVE void page_live_put(const char* path, const char* text) {
    page_files.texts[path] = text;
    // Looked at in the next frame rather than at the next poll's time.
    if (!attached)
        return;
    attached->watch.pace.hurry();
    if (attached->tracks)
        attached->tracks->pace.hurry();
}

EMSCRIPTEN_KEEPALIVE const char* page_live_errors() {
    errors.clear();
    if (!attached)
        return "";
    // A program's error is the file's that its first line names (both for a link error).
    for (const ShaderWatch::Entry& entry : attached->watch.entries) {
        const std::string first_line = entry.error.substr(0, entry.error.find('\n'));
        for (const std::string& path : entry.paths)
            if (first_line.find(path) != std::string::npos)
                add_error(path, entry.error);
    }
    if (attached->tracks) {
        std::string message;
        for (const std::string& line : attached->tracks->error_lines())
            message += (message.empty() ? "" : "\n") + line;
        add_error(attached->tracks->path, message);
    }
    return errors.c_str();
}

EMSCRIPTEN_KEEPALIVE void page_live_seek(double seconds) {
    if (attached)
        attached->timeline.set(seconds, glfwGetTime());
}
