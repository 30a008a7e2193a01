// The telemetry endpoint and key, as an information property list carries them: only an https
// address without credentials, query or fragment, and a key that fits one header line, pass.

#include "fuzz_input.h"
#include "fuzz_target.h"
#include "platform/main_bundle.h"
#include "telemetry/navrel_configuration.h"

#include <cstdlib>

using namespace velmor;

namespace {

void check(const QString& endpoint, const QString& key)
{
    const auto configuration = NavrelConfiguration::make(endpoint, key);
    if (!configuration)
        return;
    const QUrl url = configuration->url(QString::fromLatin1(NavrelConfiguration::eventsPath));
    if (url.scheme() != QLatin1String("https") || url.host().isEmpty() || !url.userInfo().isEmpty() ||
        url.hasQuery() || url.hasFragment())
        std::abort();
    if (configuration->key().contains(QLatin1Char('\n')) || configuration->key().contains(QLatin1Char('\r')))
        std::abort();
}

} // namespace

VELMOR_FUZZ_HARNESS(telemetry_configuration)
{
    fuzz::FuzzInput input(data, size);
    if (input.flag()) {
        const QString endpoint = input.text();
        check(endpoint, input.text());
        return 0;
    }
    const platform::MainBundle bundle =
        platform::MainBundle::fromInfoPlist(input.rest(), QStringLiteral("/Applications/Velmor Tray.app"));
    (void)bundle.identifier();
    check(bundle.infoString(QString::fromLatin1(NavrelConfiguration::endpointInfoKey)).value_or(QString()),
          bundle.infoString(QString::fromLatin1(NavrelConfiguration::keyInfoKey)).value_or(QString()));
    return 0;
}
