#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// A run meant for a real X server that has none skips everything instead of failing.
class NoDisplay final : public ::testing::Environment {
public:
    void SetUp() override { GTEST_SKIP() << "no X server (DISPLAY is not set)"; }
};

} // namespace

// Tests run headless: an offscreen Qt platform drawn in software and a private runtime folder,
// set before the application object exists so that discovery runs and plain ctest runs behave
// the same. VELMOR_TEST_PLATFORM=xcb runs the same tests on the X server in DISPLAY.
int main(int argc, char* argv[])
{
    const bool onX = qgetenv("VELMOR_TEST_PLATFORM") == "xcb";
    const bool noDisplay = onX && qEnvironmentVariableIsEmpty("DISPLAY");
    qputenv("QT_QPA_PLATFORM", onX && !noDisplay ? "xcb" : "offscreen");
    // Drawn in software on the X server too: the same pictures, and no GL driver in the process.
    qputenv("QT_QUICK_BACKEND", "software");
    // Frames on the test's own thread: a test sees each frame it asked for, and the sanitizers'
    // slow unwinding never races a render thread for the unwinder's lock.
    qputenv("QSG_RENDER_LOOP", "basic");
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
    if (noDisplay)
        ::testing::AddGlobalTestEnvironment(new NoDisplay);
    return RUN_ALL_TESTS();
}
