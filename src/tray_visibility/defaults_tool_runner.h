#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace velmor {

// Runs the `defaults` tool for the preference stores. Every run gets a fresh private folder in
// the temporary folder for the tool's output, is bounded by a deadline after which the tool and
// everything it started are killed, and leaves no folder behind on any path.
class DefaultsToolRunner final {
public:
    static constexpr std::chrono::milliseconds kDeadline{2000};

    struct Configuration {
        QString toolPath;
        QString temporaryDirectory;
        // Folder name prefixes of a run and of an import; each is followed by a new UUID.
        QString runPrefix;
        QString importPrefix;
        // The property-list file an import hands to the tool.
        QString importFileName;
    };

    explicit DefaultsToolRunner(Configuration configuration) : m_configuration(std::move(configuration)) {}

    // The tool's standard output; absent when the tool ran past the deadline or exited with a
    // non-zero status. Throws SystemError when the tool cannot be started or the folder made.
    std::optional<QByteArray> run(const QStringList& arguments) const;

    // The domain as a property list ("export <domain> -"); absent as for run().
    std::optional<QByteArray> exportDomain(const QString& domain) const;

    // Replaces the domain with `document` ("import <domain> <file>"); false as for run().
    bool importDomain(const QString& domain, const QByteArray& document) const;

private:
    Configuration m_configuration;
};

} // namespace velmor
