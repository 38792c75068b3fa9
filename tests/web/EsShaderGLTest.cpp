// Every shader pair of the demo, rewritten as the browser build loads it,
// compiles and links as GLSL ES 3.00 (the driver's ES compiler stands in for
// WebGL 2's); the desktop text goes through unchanged natively.

#include <gtest/gtest.h>

#include <string>

#include "FW/Shader.h"

namespace {

const char* const programs[] = {"basic", "standard", "gaussian_blur", "bloom_final", "background", "fonts"};

TEST(EsShaderGLTest, EveryProgramBuildsAsGlslEs300) {
    for (const std::string name : programs) {
        const std::string vertex = FW::es_shader_source(FW::load_file("shaders/" + name + ".vert"));
        const std::string fragment = FW::es_shader_source(FW::load_file("shaders/" + name + ".frag"));
        ASSERT_EQ(vertex.rfind("#version 300 es\n", 0), 0u) << name;
        const FW::ProgramBuild build = FW::build_program(vertex, fragment);
        EXPECT_NE(build.handle, 0u) << name << ": " << build.log;
    }
}

TEST(EsShaderGLTest, OtherTextStaysAsItIs) {
    for (const std::string text : {"", "#version 300 es\nvoid main() {}", "#version 330\nvoid main() {}"})
        EXPECT_EQ(FW::es_shader_source(text), text);
}

}  // namespace
