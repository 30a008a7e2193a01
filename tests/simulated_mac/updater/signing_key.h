#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace velmor::test {

// An Ed25519 key pair made with the openssl command line, the way docs/updates.md tells a
// publisher to make and use one.
class SigningKey final {
public:
    SigningKey()
    {
        const QString key = path(QStringLiteral("key.pem"));
        m_valid = run({QStringLiteral("genpkey"), QStringLiteral("-algorithm"), QStringLiteral("ed25519"),
                       QStringLiteral("-out"), key}) &&
                  run({QStringLiteral("pkey"), QStringLiteral("-in"), key, QStringLiteral("-pubout"),
                       QStringLiteral("-out"), publicKeyPemPath()});
        QFile pem(publicKeyPemPath());
        // The raw key is the end of the key's DER form, the Base64 body of the PEM file.
        m_publicKey = pem.open(QIODevice::ReadOnly)
                          ? QByteArray::fromBase64(pem.readAll().split('\n').value(1)).right(32)
                          : QByteArray();
        m_valid = m_valid && m_publicKey.size() == 32;
    }

    bool isValid() const { return m_valid; }
    QByteArray publicKey() const { return m_publicKey; }
    QString publicKeyBase64() const { return QString::fromLatin1(m_publicKey.toBase64()); }
    QString publicKeyPemPath() const { return path(QStringLiteral("public.pem")); }
    QString signaturePath() const { return path(QStringLiteral("signature")); }

    // The Base64 signature of `bytes`; empty when openssl failed.
    QString sign(const QByteArray& bytes) const
    {
        QFile input(path(QStringLiteral("input")));
        if (!input.open(QIODevice::WriteOnly) || input.write(bytes) != bytes.size())
            return {};
        input.close();
        return signFile(input.fileName());
    }

    // The Base64 signature of a file, also left raw at signaturePath(); empty when openssl failed.
    QString signFile(const QString& file) const
    {
        QFile signature(signaturePath());
        if (!run({QStringLiteral("pkeyutl"), QStringLiteral("-sign"), QStringLiteral("-rawin"),
                  QStringLiteral("-inkey"), path(QStringLiteral("key.pem")), QStringLiteral("-in"), file,
                  QStringLiteral("-out"), signature.fileName()}) ||
            !signature.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(signature.readAll().toBase64());
    }

    static bool run(const QStringList& arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("openssl"), arguments);
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

private:
    QString path(const QString& name) const { return m_folder.filePath(name); }

    QTemporaryDir m_folder;
    QByteArray m_publicKey;
    bool m_valid = false;
};

} // namespace velmor::test
