// The browser build's bridge to its page: the calls into the page's script,
// the resize the page calls in with, and the context's optional extensions.
#include "Page.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include "FW/Window.h"
#include "singletons/Pipeline.h"

EM_JS(double, page_clock, (), { return Module.page.clock(); });
EM_JS(void, page_frame_drawn, (double seconds), { Module.page.frameDrawn(seconds); });
EM_JS(void, page_show_ended, (), { Module.page.ended(); });

bool page_has_multi_draw() {
    static const bool available =
        emscripten_webgl_enable_extension(emscripten_webgl_get_current_context(), "WEBGL_multi_draw");
    return available;
}

// The page's canvas took a new drawing size: as a resized native window, the
// framework follows it through GLFW's framebuffer callback; unlike a window's,
// the render targets take the new size, so that a smaller one costs less.
extern "C" EMSCRIPTEN_KEEPALIVE void page_resize(int width, int height) {
    if (!FW::window)
        return;
    glfwSetWindowSize(FW::window, width, height);
    Pipeline::get().resize_targets();
}
