#include "FakeInput.h"

#include "FW/Window.h"

FakeInput& FakeInput::get() {
    static FakeInput instance;
    return instance;
}

void FakeInput::clear() {
    keys.clear();
    buttons.clear();
}

namespace FW {

bool key_is_down(int key) {
    return FakeInput::get().keys.count(key) != 0;
}

bool mouse_button_is_down(int button) {
    return FakeInput::get().buttons.count(button) != 0;
}

}  // namespace FW
