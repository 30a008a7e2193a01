// What verifying an update costs: a 20 MB archive checked against its Ed25519 signature in process
// (memory-mapped, libcrypto) and by the openssl command line, in the same run.

#include "qt_benchmark_main.h"
#include "simulated_mac/updater/archive_signature.h"
#include "simulated_mac/updater/signing_key.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace velmor;

constexpr qint64 archiveBytes = 20 * 1000 * 1000;

struct Archive {
    test::SigningKey key;
    QTemporaryDir folder;
    QString path;
    QByteArray signature;

    Archive()
    {
        path = folder.filePath(QStringLiteral("archive.zip"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        QByteArray block(1 << 20, '\0');
        quint32 state = 2463534242u;
        for (qint64 written = 0; written < archiveBytes; written += block.size()) {
            for (char& byte : block) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                byte = char(state);
            }
            file.write(block.left(qsizetype(std::min<qint64>(block.size(), archiveBytes - written))));
        }
        file.close();
        signature = QByteArray::fromBase64(key.signFile(path).toLatin1());
    }

    static const Archive& shared()
    {
        static const Archive archive;
        return archive;
    }
};

void BM_VerifyArchiveInProcess(benchmark::State& state)
{
    const Archive& archive = Archive::shared();
    for (auto _ : state) {
        if (!simulated_mac::archive_signature::verifyFile(archive.key.publicKey(), archive.signature,
                                                     archive.path))
            state.SkipWithError("the signature did not verify");
    }
    state.SetBytesProcessed(state.iterations() * archiveBytes);
}
BENCHMARK(BM_VerifyArchiveInProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VerifyArchiveWithOpensslCommandLine(benchmark::State& state)
{
    const Archive& archive = Archive::shared();
    const QStringList arguments{QStringLiteral("pkeyutl"),      QStringLiteral("-verify"),
                                QStringLiteral("-pubin"),       QStringLiteral("-inkey"),
                                archive.key.publicKeyPemPath(), QStringLiteral("-rawin"),
                                QStringLiteral("-in"),          archive.path,
                                QStringLiteral("-sigfile"),     archive.key.signaturePath()};
    for (auto _ : state) {
        if (!test::SigningKey::run(arguments))
            state.SkipWithError("openssl did not verify the signature");
    }
    state.SetBytesProcessed(state.iterations() * archiveBytes);
}
BENCHMARK(BM_VerifyArchiveWithOpensslCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

VELMOR_QT_BENCHMARK_MAIN();
