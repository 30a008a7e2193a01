#pragma once

#include "platform/updater_framework.h"

#include <QMap>

namespace velmor::test {

// An update framework that does nothing by itself: a test sets its properties and calls its
// delegate the way the framework would.
class FakeUpdaterController final : public platform::UpdaterController {
public:
    explicit FakeUpdaterController(platform::UpdaterDelegate& owner) : delegate(owner) {}

    bool sendsSystemProfile() const override { return sendsProfile; }
    void setSendsSystemProfile(bool sends) override { sendsProfile = sends; }
    bool canCheckForUpdates() const override { return canCheck; }
    bool automaticallyChecksForUpdates() const override { return checks; }
    void setAutomaticallyChecksForUpdates(bool value) override
    {
        set(checks, value, Property::AutomaticallyChecksForUpdates);
    }
    bool automaticallyDownloadsUpdates() const override { return downloads; }
    void setAutomaticallyDownloadsUpdates(bool value) override
    {
        set(downloads, value, Property::AutomaticallyDownloadsUpdates);
    }
    ObserverId observe(platform::UpdaterProperty property, std::function<void(bool)> handler) override
    {
        handler(property == Property::CanCheckForUpdates              ? canCheck
                : property == Property::AutomaticallyChecksForUpdates ? checks
                                                                      : downloads);
        observers.insert(++lastObserver, {property, std::move(handler)});
        return lastObserver;
    }
    void removeObserver(ObserverId observer) override { observers.remove(observer); }
    std::optional<platform::UpdaterError> start() override
    {
        ++starts;
        if (!startError)
            set(canCheck, true, Property::CanCheckForUpdates);
        return startError;
    }
    void checkForUpdates() override { ++checksRequested; }

    void setCanCheck(bool value) { set(canCheck, value, Property::CanCheckForUpdates); }

    platform::UpdaterDelegate& delegate;
    bool sendsProfile = true;
    bool canCheck = false;
    bool checks = true;
    bool downloads = true;
    std::optional<platform::UpdaterError> startError;
    int starts = 0;
    int checksRequested = 0;
    QMap<ObserverId, std::pair<platform::UpdaterProperty, std::function<void(bool)>>> observers;
    ObserverId lastObserver = 0;

private:
    using Property = platform::UpdaterProperty;

    void set(bool& field, bool value, Property property)
    {
        field = value;
        for (const auto& [observed, handler] : observers) {
            if (observed == property)
                handler(value);
        }
    }
};

class FakeUpdaterFramework final : public platform::UpdaterFramework {
public:
    static constexpr auto domain = "FakeUpdaterDomain";

    std::unique_ptr<platform::UpdaterController>
    createController(platform::UpdaterDelegate& delegate) override
    {
        auto made = std::make_unique<FakeUpdaterController>(delegate);
        made->startError = startError;
        controller = made.get();
        ++created;
        return made;
    }
    QString errorDomain() const override { return QString::fromLatin1(domain); }

    platform::UpdaterError error(qint64 code) const
    {
        return {errorDomain(), code, QStringLiteral("failed")};
    }

    FakeUpdaterController* controller = nullptr;
    int created = 0;
    std::optional<platform::UpdaterError> startError;
};

} // namespace velmor::test
