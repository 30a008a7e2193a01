#pragma once

class QQmlEngine;

namespace velmor {

// Makes the app's QML modules (linked in statically) known, picks the controls' style and loads
// the symbol font. Call once, after the application object exists and before any engine loads.
void registerQmlModules();

// Where an engine finds the modules: the resources the modules were compiled into.
void prepareEngine(QQmlEngine& engine);

} // namespace velmor
