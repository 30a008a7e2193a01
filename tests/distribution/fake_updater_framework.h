#pragma once

#include "platform/updater_framework.h"

#include <QMap>

namespace velmor::test {

// An update framework that does nothing by itself: a test sets its properties and calls its
// delegate the way the framework would.
class FakeUpdaterController final : public platform::UpdaterController {
public:
    using Property = platform::UpdaterProperty;

    bool sendsSystemProfile() const override { return sendsProfile; }
    void setSendsSystemProfile(bool sends) override { sendsProfile = sends; }
    bool canCheckForUpdates() const override { return values[Property::CanCheckForUpdates]; }
    bool automaticallyChecksForUpdates() const override
    {
        return values[Property::AutomaticallyChecksForUpdates];
    }
    void setAutomaticallyChecksForUpdates(bool on) override
    {
        set(Property::AutomaticallyChecksForUpdates, on);
    }
    bool automaticallyDownloadsUpdates() const override
    {
        return values[Property::AutomaticallyDownloadsUpdates];
    }
    void setAutomaticallyDownloadsUpdates(bool on) override
    {
        set(Property::AutomaticallyDownloadsUpdates, on);
    }
    ObserverId observe(Property property, std::function<void(bool)> handler) override
    {
        handler(values[property]);
        observers.insert(++lastObserver, {property, std::move(handler)});
        return lastObserver;
    }
    void removeObserver(ObserverId observer) override { observers.remove(observer); }
    std::optional<platform::UpdaterError> start() override
    {
        ++starts;
        if (!startError)
            set(Property::CanCheckForUpdates, true);
        return startError;
    }
    void checkForUpdates() override { ++checksRequested; }

    void set(Property property, bool value)
    {
        values[property] = value;
        for (const auto& [observed, handler] : observers) {
            if (observed == property)
                handler(value);
        }
    }

    bool sendsProfile = true;
    QMap<Property, bool> values{{Property::CanCheckForUpdates, false},
                                {Property::AutomaticallyChecksForUpdates, true},
                                {Property::AutomaticallyDownloadsUpdates, true}};
    std::optional<platform::UpdaterError> startError;
    int starts = 0;
    int checksRequested = 0;
    QMap<ObserverId, std::pair<Property, std::function<void(bool)>>> observers;
    ObserverId lastObserver = 0;
};

class FakeUpdaterFramework final : public platform::UpdaterFramework {
public:
    std::unique_ptr<platform::UpdaterController> createController(platform::UpdaterDelegate&) override
    {
        auto made = std::make_unique<FakeUpdaterController>();
        made->startError = startError;
        controller = made.get();
        ++created;
        return made;
    }
    QString errorDomain() const override { return QStringLiteral("FakeUpdaterDomain"); }

    platform::UpdaterError error(qint64 code) const
    {
        return {errorDomain(), code, QStringLiteral("failed")};
    }

    FakeUpdaterController* controller = nullptr;
    int created = 0;
    std::optional<platform::UpdaterError> startError;
};

} // namespace velmor::test
