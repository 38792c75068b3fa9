#pragma once

#include <chrono>
#include <vector>

#include "FW/Camera.h"
#include "FW/Shader.h"
#include "Gem.h"
#include "VertexData.h"

// A fixed-capacity store of red line segments with its own program.
class Lines {
public:
    GLuint vertices_handle = 0;
    GLuint colors_handle = 0;
    GLuint VAO = 0;
    std::vector<float> vertices;
    std::vector<float> colors;
    FW::ShaderProgram program;
    int maxlines;
    int nlines;

    Lines();
    void add_line(float x1, float y1, float z1, float x2, float y2, float z2);
};

// The demo's run state, its camera and the generated gems.
class Scene {
public:
    int ngems;
    std::chrono::system_clock::time_point start_time;
    FW::Camera camera;
    float camera_speed;
    std::vector<Gem> gems;
    Lines lines;
    VertexData vertex_data;
    bool capture;

    static Scene* get();
    // Generates ngems gems and uploads their vertex data.
    void upload_vertices();

private:
    Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
};
