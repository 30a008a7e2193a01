// What every libFuzzer harness needs before its first input: a Qt application (some parsers use
// QGuiApplication's services) on the offscreen platform.

#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}
