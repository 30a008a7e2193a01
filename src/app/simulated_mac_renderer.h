#pragma once

namespace velmor {

// The simulated Mac draws with Qt Quick's software renderer unless QT_QUICK_BACKEND names one.
// Its windows are flat two-dimensional controls, and the machines it runs on (CI, containers,
// Xvfb) rarely have a GPU: there the default OpenGL path goes through Mesa's software rasterizer,
// which maps about 120 MiB (libLLVM among it) to draw the same pixels more slowly. Call before the
// first window is created. The Mac build never calls it and keeps Qt's default renderer.
void chooseSimulatedMacRenderer();

} // namespace velmor
