// Replays inputs through a harness with the normal compiler: every file of the given folders
// (the seed corpus and the inputs that once found a fault) must run without a fault.

#include "fuzz_target.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <map>
#include <string>

namespace velmor::fuzz {
namespace {

std::map<std::string, Harness>& harnesses()
{
    static std::map<std::string, Harness> registry;
    return registry;
}

} // namespace

Registration::Registration(const char* name, Harness harness)
{
    harnesses()[name] = harness;
}

} // namespace velmor::fuzz

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s HARNESS FOLDER...\n", argv[0]);
        return 2;
    }
    const auto& registry = velmor::fuzz::harnesses();
    const auto harness = registry.find(argv[1]);
    if (harness == registry.end()) {
        std::fprintf(stderr, "no harness named %s\n", argv[1]);
        return 2;
    }
    int replayed = 0;
    for (int i = 2; i < argc; ++i) {
        const QDir folder(QString::fromLocal8Bit(argv[i]));
        if (!folder.exists())
            continue;
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            harness->second(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                            static_cast<std::size_t>(bytes.size()));
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::fprintf(stderr, "no inputs for %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %d inputs replayed\n", argv[1], replayed);
    return 0;
}
