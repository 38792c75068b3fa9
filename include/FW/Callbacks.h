#pragma once

namespace FW {

// The receivers through which the framework hands frames and input to the
// application. Each has exactly one operation.

class IDrawCallback {
public:
    virtual void draw(int width, int height) = 0;
};

class IKeyEventCallback {
public:
    virtual void callback(int key, int scancode, int action, int mods) = 0;
};

class IMousePosCallback {
public:
    virtual void callback(double x, double y) = 0;
};

}  // namespace FW
