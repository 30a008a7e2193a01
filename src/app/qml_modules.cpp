#include "app/qml_modules.h"

#include "suite_ui/views/symbols.h"

#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(VelmorControlsPlugin)
Q_IMPORT_QML_PLUGIN(VelmorControlsStylePlugin)
Q_IMPORT_QML_PLUGIN(VelmorSuiteUiPlugin)
Q_IMPORT_QML_PLUGIN(VelmorSettingsWindowPlugin)
Q_IMPORT_QML_PLUGIN(VelmorSimulatedMacPlugin)
Q_IMPORT_QML_PLUGIN(VelmorDistributionPlugin)

namespace velmor {
namespace {

// Fusion, with the text of every control drawn plain.
constexpr const char* controlsStyle = "Velmor.Controls.Style";
constexpr const char* moduleRoot = "qrc:/qt/qml";

} // namespace

void registerQmlModules()
{
    // Once per process: the style cannot change after the first window that uses it.
    static const bool registered = [] {
        // Fusion draws from the window's palette, which carries the app's light and dark colours.
        // Its controls' labels render markup (and crash on an image in a button's title), so the
        // app's style replaces each label with plain text and leaves the rest to Fusion.
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
