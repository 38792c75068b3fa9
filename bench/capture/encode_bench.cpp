// The BMP encoder and the row flip on a 1600x900 frame, beside a plain memcpy
// of the same bytes (Google Benchmark).
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "Bitmap.h"
#include "PixelBuffer.h"

namespace {

const int width = 1600;
const int height = 900;

std::vector<unsigned char> test_frame() {
    std::vector<unsigned char> rgb(rgb_frame_size(width, height));
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<unsigned char>(i * 7 + i / 4096);
    return rgb;
}

void memcpy_1600x900(benchmark::State& state) {
    const std::vector<unsigned char> rgb = test_frame();
    std::vector<unsigned char> copy(rgb.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), rgb.data(), rgb.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}

void bmp_encode_1600x900(benchmark::State& state) {
    const std::vector<unsigned char> rgb = test_frame();
    for (auto _ : state) {
        unsigned char* out = nullptr;
        benchmark::DoNotOptimize(bitmap_encode_rgb(rgb.data(), width, height, &out));
        delete[] out;
    }
}

void flip_rows_1600x900(benchmark::State& state) {
    std::vector<unsigned char> rgb = test_frame();
    for (auto _ : state) {
        flip_rows(rgb.data(), width, height);
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(memcpy_1600x900)->Unit(benchmark::kMillisecond);
BENCHMARK(bmp_encode_1600x900)->Unit(benchmark::kMillisecond);
BENCHMARK(flip_rows_1600x900)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
