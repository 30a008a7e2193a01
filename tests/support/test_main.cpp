#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>
#include <unistd.h>

#include <gtest/gtest.h>

// Tests run headless: an offscreen Qt platform and a private runtime folder, set before the
// application object exists so that discovery runs and plain ctest runs behave the same.
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime =
            QDir::temp().filePath(QStringLiteral("velmor-tests-runtime-%1").arg(getuid()));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    }
    QStandardPaths::setTestModeEnabled(true);
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
