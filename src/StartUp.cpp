#include "StartUp.h"

#include "FW/Window.h"
#include "PixelBuffer.h"
#include "singletons/FontEngine.h"
#include "singletons/Pipeline.h"
#include "singletons/Scene.h"
#include "singletons/UI.h"

void start_up(const Settings& settings) {
    FW::init(settings.width, settings.height, "Cool stuff", settings.full_screen);

    // The text projection keeps the requested size, also in full screen.
    FontEngine::get().init(settings.width, settings.height);

    UI& ui = UI::get();
    FW::set_key_callback(ui.key_receiver);
    FW::set_mouse_callback(ui.mouse_receiver);

    Pipeline::get().init();

    Scene* scene = Scene::get();
    scene->ngems = settings.gem_count;
    scene->upload_vertices();
    scene->capture = settings.capture;
    if (scene->capture)
        pixel_buffer.resize(rgb_frame_size(FW::SCREEN_WIDTH, FW::SCREEN_HEIGHT));
}
