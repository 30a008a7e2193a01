#pragma once

#include <QString>

// Apps several tray tests place, and the name of the tray's chevron item.
inline const QString alpha = QStringLiteral("com.example.alpha");
inline const QString bravo = QStringLiteral("com.example.bravo");
inline const QString delta = QStringLiteral("com.example.delta");
inline const QString chevronName = QStringLiteral("VelmorTray.Native.regular");
