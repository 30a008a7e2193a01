#include "simulated_mac/updater/archive_signature.h"

#include "foundation/regular_file.h"
#include "foundation/system_error.h"

#include <QFile>
#include <openssl/evp.h>

#include <memory>

namespace velmor::simulated_mac::archive_signature {
namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

bool isBase64Character(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

} // namespace

std::optional<QByteArray> decodeBase64(const QString& text, int length)
{
    const QByteArray bytes = text.toLatin1();
    if (bytes.isEmpty() || bytes.size() % 4 != 0 || QString::fromLatin1(bytes) != text)
        return std::nullopt;
    qsizetype padding = 0;
    while (padding < 2 && bytes[bytes.size() - 1 - padding] == '=')
        ++padding;
    for (qsizetype i = 0; i < bytes.size() - padding; ++i) {
        if (!isBase64Character(bytes[i]))
            return std::nullopt;
    }
    const auto decoded = QByteArray::fromBase64Encoding(bytes, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != length)
        return std::nullopt;
    return decoded.decoded;
}

bool verify(const QByteArray& publicKey, const QByteArray& signature, const uchar* data, qsizetype size)
{
    if (publicKey.size() != publicKeyLength || signature.size() != signatureLength || size < 0 ||
        (size > 0 && !data))
        return false;
    const std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_PKEY_new_raw_public_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(publicKey.constData()),
        static_cast<size_t>(publicKey.size())));
    const std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
    if (!key || !context)
        return false;
    // Ed25519 hashes internally: no digest is named, and the message goes in one call.
    if (EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return false;
    static const unsigned char empty = 0;
    return EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.constData()),
                            static_cast<size_t>(signature.size()), size > 0 ? data : &empty,
                            static_cast<size_t>(size)) == 1;
}

bool verifyFile(const QByteArray& publicKey, const QByteArray& signature, const QString& path)
{
    QFile file;
    try {
        RegularFile::open(file, path);
    } catch (const SystemError&) {
        return false;
    }
    const qint64 size = file.size();
    if (size == 0)
        return verify(publicKey, signature, nullptr, 0);
    uchar* mapped = file.map(0, size);
    if (!mapped)
        return false;
    const bool valid = verify(publicKey, signature, mapped, size);
    file.unmap(mapped);
    return valid;
}

} // namespace velmor::simulated_mac::archive_signature
