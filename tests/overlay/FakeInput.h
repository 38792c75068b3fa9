#pragma once

#include <set>

// Held keys and mouse buttons seen by FW::key_is_down and
// FW::mouse_button_is_down in these tests, which link no real polling.
struct FakeInput {
    std::set<int> keys;
    std::set<int> buttons;

    static FakeInput& get();
    void clear();
};
