#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmor::simulated_mac::archive_signature {

inline constexpr int publicKeyLength = 32;
inline constexpr int signatureLength = 64;

// The bytes of standard Base64 text (its alphabet, padded, padding only at the end) when they are
// exactly `length` long; absent for anything else.
std::optional<QByteArray> decodeBase64(const QString& text, int length);

// Whether `signature` (64 raw bytes) is an Ed25519 signature of the `size` bytes at `data` by
// `publicKey` (32 raw bytes). Anything malformed is simply not valid.
bool verify(const QByteArray& publicKey, const QByteArray& signature, const uchar* data, qsizetype size);

// The same for a whole file, read through a memory map so that a large archive is not copied.
bool verifyFile(const QByteArray& publicKey, const QByteArray& signature, const QString& path);

} // namespace velmor::simulated_mac::archive_signature
