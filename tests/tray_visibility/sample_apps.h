#pragma once

#include <QString>

namespace velmor::test {

// The apps the visibility tests hide and show, and the tray's own bundle.
inline const QString kOwn = QStringLiteral("local.velmor.tray");
inline const QString kA = QStringLiteral("com.example.a");
inline const QString kB = QStringLiteral("com.example.b");
inline const QString kC = QStringLiteral("com.example.c");
inline const QString kItemA = QStringLiteral("status:com.example.a::item");

} // namespace velmor::test
