#include "app/qml_modules.h"

#include "suite_ui/views/symbols.h"

#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(VelmorSuiteUiPlugin)
Q_IMPORT_QML_PLUGIN(VelmorSettingsWindowPlugin)
Q_IMPORT_QML_PLUGIN(VelmorSimulatedMacPlugin)
Q_IMPORT_QML_PLUGIN(VelmorDistributionPlugin)

namespace velmor {
namespace {

constexpr const char* controlsStyle = "Fusion";
constexpr const char* moduleRoot = "qrc:/qt/qml";

} // namespace

void registerQmlModules()
{
    // Once per process: the style cannot change after the first window that uses it.
    static const bool registered = [] {
        // Fusion draws from the window's palette, which carries the app's light and dark colours.
        QQuickStyle::setStyle(QString::fromLatin1(controlsStyle));
        Symbols::loadFont();
        return true;
    }();
    static_cast<void>(registered);
}

void prepareEngine(QQmlEngine& engine)
{
    engine.addImportPath(QString::fromLatin1(moduleRoot));
}

} // namespace velmor
