#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace velmor::fuzz {

// Splits one fuzz input into the several values a harness needs: small numbers from the front,
// then chunks separated by a marker byte, so that a seed written by hand stays readable.
class FuzzInput final {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
    {}

    // The next byte, 0 once the input is used up.
    std::uint8_t byte()
    {
        if (m_position >= m_bytes.size())
            return 0;
        return static_cast<std::uint8_t>(m_bytes[m_position++]);
    }
    bool flag() { return byte() & 1; }

    // The bytes up to the next '\x1f' (or the end).
    QByteArray chunk()
    {
        const qsizetype end = m_bytes.indexOf('\x1f', m_position);
        const qsizetype stop = end < 0 ? m_bytes.size() : end;
        QByteArray result = m_bytes.mid(m_position, stop - m_position);
        m_position = end < 0 ? m_bytes.size() : end + 1;
        return result;
    }
    QString text() { return QString::fromUtf8(chunk()); }

    // Everything not read yet.
    QByteArray rest()
    {
        QByteArray result = m_bytes.mid(m_position);
        m_position = m_bytes.size();
        return result;
    }

    bool atEnd() const { return m_position >= m_bytes.size(); }

private:
    QByteArray m_bytes;
    qsizetype m_position = 0;
};

} // namespace velmor::fuzz
