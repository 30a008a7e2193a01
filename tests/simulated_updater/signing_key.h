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
        m_valid = run({QStringLiteral("genpkey"), QStringLiteral("-algorithm"), QStringLiteral("ed25519"),
                       QStringLiteral("-out"), path(QStringLiteral("key.pem"))}) &&
                  run({QStringLiteral("pkey"), QStringLiteral("-in"), path(QStringLiteral("key.pem")),
                       QStringLiteral("-pubout"), QStringLiteral("-outform"), QStringLiteral("DER"),
                       QStringLiteral("-out"), path(QStringLiteral("public.der"))}) &&
                  run({QStringLiteral("pkey"), QStringLiteral("-in"), path(QStringLiteral("key.pem")),
                       QStringLiteral("-pubout"), QStringLiteral("-out"), publicKeyPemPath()});
        // The raw key is the end of its DER form.
        m_publicKey = read(QStringLiteral("public.der")).right(32);
        m_valid = m_valid && m_publicKey.size() == 32;
    }

    bool isValid() const { return m_valid; }
    QString privateKeyPath() const { return path(QStringLiteral("key.pem")); }
    QString publicKeyPemPath() const { return path(QStringLiteral("public.pem")); }
    QByteArray publicKey() const { return m_publicKey; }
    QString publicKeyBase64() const { return QString::fromLatin1(m_publicKey.toBase64()); }

    // The Base64 signature of `bytes`; empty when openssl failed.
    QString sign(const QByteArray& bytes) const
    {
        QFile input(path(QStringLiteral("input")));
        if (!input.open(QIODevice::WriteOnly) || input.write(bytes) != bytes.size())
            return {};
        input.close();
        return signFile(input.fileName());
    }

    // The Base64 signature of a file, left raw in signaturePath(); empty when openssl failed.
    QString signFile(const QString& file) const
    {
        if (!run({QStringLiteral("pkeyutl"), QStringLiteral("-sign"), QStringLiteral("-rawin"),
                  QStringLiteral("-inkey"), privateKeyPath(), QStringLiteral("-in"), file,
                  QStringLiteral("-out"), signaturePath()}))
            return {};
        return QString::fromLatin1(read(QStringLiteral("signature")).toBase64());
    }
    QString signaturePath() const { return path(QStringLiteral("signature")); }

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

    QByteArray read(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_folder;
    QByteArray m_publicKey;
    bool m_valid = false;
};

} // namespace velmor::test
