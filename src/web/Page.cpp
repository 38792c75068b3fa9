// The browser build's bridge to its page: the calls into the page's script,
// and the resize the page calls in with.
#include "Page.h"

#include <emscripten.h>

#include "FW/Window.h"

EM_JS(double, page_clock, (), { return Module.page.clock(); });
EM_JS(void, page_frame_drawn, (double seconds), { Module.page.frameDrawn(seconds); });
EM_JS(void, page_show_ended, (), { Module.page.ended(); });

// The page's canvas took a new drawing size: as a resized native window, the
// framework follows it through GLFW's framebuffer callback.
extern "C" EMSCRIPTEN_KEEPALIVE void page_resize(int width, int height) {
    if (FW::window)
        glfwSetWindowSize(FW::window, width, height);
}
