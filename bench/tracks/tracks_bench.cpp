// Times the tracks on the current GL implementation: a frame's evaluation of
// 100 tracks of 10 keys each and their setting as uniforms of a program that
// uses them all (looked up by name, as every uniform is), and the reload of a
// changed 1000-key file by the live watch. Prints "name: value ms".
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "FW/Shader.h"
#include "FW/Window.h"
#include "TrackPlayer.h"

namespace {

using Clock = std::chrono::steady_clock;

const int tracks = 100;
const int keys_per_track = 10;
const int frames = 2000;
const int reloads = 50;
const char* const file = "bench.tracks";
const char* const shapes[] = {"step", "linear", "smooth", "ramp"};

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// 100 tracks u0..u99 of keys spread over the show; `version` changes one value.
std::string tracks_file(int version) {
    std::string text = "# benchmark tracks\n";
    for (int track = 0; track < tracks; ++track)
        for (int key = 0; key < keys_per_track; ++key)
            text += "u" + std::to_string(track) + " " + std::to_string(key * 5.7 + track * 0.01) + " " +
                    std::to_string(track == 0 && key == 0 ? version : key) + " " + shapes[(track + key) % 4] + "\n";
    return text;
}

// A fragment shader whose output depends on every one of the tracks' uniforms.
std::string fragment_source() {
    std::string source = "#version 330 core\nout vec4 colour;\n";
    std::string sum = "0.0";
    for (int track = 0; track < tracks; ++track) {
        source += "uniform float u" + std::to_string(track) + ";\n";
        sum += " + u" + std::to_string(track);
    }
    return source + "void main() { colour = vec4(" + sum + "); }\n";
}

}  // namespace

int main() {
    FW::init(64, 36, "tracks bench", false);
    const FW::ProgramBuild build =
        FW::build_program("#version 330 core\nvoid main() { gl_Position = vec4(0.0); }\n", fragment_source());
    if (!build.handle) {
        std::fprintf(stderr, "%s\n", build.log.c_str());
        return 1;
    }
    glUseProgram(build.handle);
    std::ofstream(file) << tracks_file(0);
    TrackPlayer player;
    if (!player.load(file)) {
        std::fprintf(stderr, "%s\n", player.error.c_str());
        return 1;
    }

    FW::Camera camera;
    const Clock::time_point start = Clock::now();
    for (int frame = 0; frame < frames; ++frame) {
        player.frame(frame / 60.0 * 1.4 - 0.1, camera);
        player.set_uniforms(build.handle);
    }
    glFinish();
    const double per_frame = ms_since(start) / frames;

    double reloading = 0.0;
    for (int reload = 1; reload <= reloads; ++reload) {
        std::ofstream(file, std::ios::trunc) << tracks_file(reload);
        const Clock::time_point polling = Clock::now();
        player.poll(reload * 1.0);
        reloading += ms_since(polling);
    }
    if (player.set.find("u0")->keys[0].value != reloads) {
        std::fprintf(stderr, "the changed file was not reloaded\n");
        return 1;
    }
    std::printf("tracks_frame_100_uniforms: %.4f ms\n", per_frame);
    std::printf("tracks_reload_%d_keys: %.3f ms\n", player.set.key_count(), reloading / reloads);
    FW::clean_up();
    return 0;
}
