// Sparkle's standard updater controller behind the UpdaterFramework interface. Built only when
// Sparkle.framework was found at configure time.
#include "mac/mac_updater.h"
#include "platform/updater_framework.h"

#import <Foundation/Foundation.h>
#import <Sparkle/Sparkle.h>

#include <map>

using velmor::platform::UpdateCheck;
using velmor::platform::UpdateItem;
using velmor::platform::UpdaterDelegate;
using velmor::platform::UpdaterError;

namespace {

UpdateItem describe(SUAppcastItem* item)
{
    UpdateItem described;
    described.versionString = QString::fromNSString(item.versionString);
    described.displayVersionString = QString::fromNSString(item.displayVersionString ?: item.versionString);
    described.minimumSystemVersion = QString::fromNSString(item.minimumSystemVersion ?: @"");
    described.fileURL = QUrl::fromNSURL(item.fileURL);
    described.contentLength = qint64(item.contentLength);
    // The item's signature is not public API of the framework; the framework verifies it itself.
    return described;
}

UpdaterError describe(NSError* error)
{
    return {QString::fromNSString(error.domain), qint64(error.code),
            QString::fromNSString(error.localizedDescription)};
}

UpdateCheck describe(SPUUpdateCheck check)
{
    switch (check) {
    case SPUUpdateCheckUpdatesInBackground:
        return UpdateCheck::UpdatesInBackground;
    case SPUUpdateCheckUpdateInformation:
        return UpdateCheck::UpdateInformation;
    default:
        return UpdateCheck::Updates;
    }
}

NSString* keyPath(velmor::platform::UpdaterProperty property)
{
    switch (property) {
    case velmor::platform::UpdaterProperty::CanCheckForUpdates:
        return @"canCheckForUpdates";
    case velmor::platform::UpdaterProperty::AutomaticallyChecksForUpdates:
        return @"automaticallyChecksForUpdates";
    case velmor::platform::UpdaterProperty::AutomaticallyDownloadsUpdates:
        return @"automaticallyDownloadsUpdates";
    }
    return @"canCheckForUpdates";
}

} // namespace

// Forwards the framework's delegate calls; the framework holds it weakly, the controller keeps it.
@interface VMBUpdaterDelegate : NSObject <SPUUpdaterDelegate>
- (instancetype)initWithDelegate:(UpdaterDelegate*)delegate;
@end

@implementation VMBUpdaterDelegate {
    UpdaterDelegate* _delegate;
}

- (instancetype)initWithDelegate:(UpdaterDelegate*)delegate
{
    self = [super init];
    if (self != nil)
        _delegate = delegate;
    return self;
}

- (void)updater:(SPUUpdater*)updater didFindValidUpdate:(SUAppcastItem*)item
{
    (void)updater;
    _delegate->didFindValidUpdate(describe(item));
}

- (void)updater:(SPUUpdater*)updater didDownloadUpdate:(SUAppcastItem*)item
{
    (void)updater;
    _delegate->didDownloadUpdate(describe(item));
}

- (void)updater:(SPUUpdater*)updater willInstallUpdate:(SUAppcastItem*)item
{
    (void)updater;
    _delegate->willInstallUpdate(describe(item));
}

- (void)updater:(SPUUpdater*)updater didAbortWithError:(NSError*)error
{
    (void)updater;
    _delegate->didAbortWithError(describe(error));
}

- (void)updater:(SPUUpdater*)updater
    didFinishUpdateCycleForUpdateCheck:(SPUUpdateCheck)updateCheck
                                 error:(NSError*)error
{
    (void)updater;
    _delegate->didFinishUpdateCycle(
        describe(updateCheck), error != nil ? std::optional<UpdaterError>(describe(error)) : std::nullopt);
}

- (BOOL)updater:(SPUUpdater*)updater
    shouldPostponeRelaunchForUpdate:(SUAppcastItem*)item
                 untilInvokingBlock:(void (^)(void))installHandler
{
    (void)updater;
    void (^install)(void) = [installHandler copy];
    return _delegate->shouldPostponeRelaunchForUpdate(describe(item), [install] { install(); });
}

- (NSArray<NSString*>*)allowedSystemProfileKeysForUpdater:(SPUUpdater*)updater
{
    (void)updater;
    NSMutableArray<NSString*>* keys = [NSMutableArray array];
    for (const QString& key : _delegate->allowedSystemProfileKeys())
        [keys addObject:key.toNSString()];
    return keys;
}

@end

// Hands key-value changes of one updater property to a handler.
@interface VMBUpdaterPropertyObserver : NSObject
- (instancetype)initWithHandler:(std::function<void(bool)>)handler;
@end

@implementation VMBUpdaterPropertyObserver {
    std::function<void(bool)> _handler;
}

- (instancetype)initWithHandler:(std::function<void(bool)>)handler
{
    self = [super init];
    if (self != nil)
        _handler = std::move(handler);
    return self;
}

- (void)observeValueForKeyPath:(NSString*)keyPath
                      ofObject:(id)object
                        change:(NSDictionary<NSKeyValueChangeKey, id>*)change
                       context:(void*)context
{
    (void)keyPath;
    (void)object;
    (void)context;
    if (_handler)
        _handler([change[NSKeyValueChangeNewKey] boolValue]);
}

@end

namespace velmor::platform::mac {
namespace {

class SparkleUpdaterController final : public UpdaterController {
public:
    explicit SparkleUpdaterController(UpdaterDelegate& delegate)
        : m_delegate([[VMBUpdaterDelegate alloc] initWithDelegate:&delegate]),
          m_controller([[SPUStandardUpdaterController alloc] initWithStartingUpdater:NO
                                                                     updaterDelegate:m_delegate
                                                                  userDriverDelegate:nil])
    {}

    ~SparkleUpdaterController() override
    {
        while (!m_observers.empty())
            removeObserver(m_observers.begin()->first);
    }

    bool sendsSystemProfile() const override { return m_controller.updater.sendsSystemProfile; }
    void setSendsSystemProfile(bool sends) override { m_controller.updater.sendsSystemProfile = sends; }
    bool canCheckForUpdates() const override { return m_controller.updater.canCheckForUpdates; }
    bool automaticallyChecksForUpdates() const override
    {
        return m_controller.updater.automaticallyChecksForUpdates;
    }
    void setAutomaticallyChecksForUpdates(bool checks) override
    {
        m_controller.updater.automaticallyChecksForUpdates = checks;
    }
    bool automaticallyDownloadsUpdates() const override
    {
        return m_controller.updater.automaticallyDownloadsUpdates;
    }
    void setAutomaticallyDownloadsUpdates(bool downloads) override
    {
        m_controller.updater.automaticallyDownloadsUpdates = downloads;
    }

    ObserverId observe(UpdaterProperty property, std::function<void(bool value)> handler) override
    {
        const ObserverId observer = m_nextObserver++;
        VMBUpdaterPropertyObserver* forwarder =
            [[VMBUpdaterPropertyObserver alloc] initWithHandler:std::move(handler)];
        NSString* path = keyPath(property);
        m_observers.emplace(observer, Observation{forwarder, path});
        [m_controller.updater addObserver:forwarder
                               forKeyPath:path
                                  options:NSKeyValueObservingOptionInitial | NSKeyValueObservingOptionNew
                                  context:nullptr];
        return observer;
    }

    void removeObserver(ObserverId observer) override
    {
        const auto found = m_observers.find(observer);
        if (found == m_observers.end())
            return;
        [m_controller.updater removeObserver:found->second.forwarder forKeyPath:found->second.path];
        m_observers.erase(found);
    }

    std::optional<UpdaterError> start() override
    {
        if (m_started)
            return std::nullopt;
        NSError* error = nil;
        if (![m_controller.updater startUpdater:&error])
            return error != nil ? describe(error) : UpdaterError{};
        m_started = true;
        return std::nullopt;
    }

    void checkForUpdates() override { [m_controller checkForUpdates:nil]; }

private:
    struct Observation {
        VMBUpdaterPropertyObserver* forwarder;
        NSString* path;
    };

    VMBUpdaterDelegate* m_delegate;
    SPUStandardUpdaterController* m_controller;
    std::map<ObserverId, Observation> m_observers;
    ObserverId m_nextObserver = 1;
    bool m_started = false;
};

class SparkleUpdaterFramework final : public UpdaterFramework {
public:
    std::unique_ptr<UpdaterController> createController(UpdaterDelegate& delegate) override
    {
        return std::make_unique<SparkleUpdaterController>(delegate);
    }
    QString errorDomain() const override { return QString::fromNSString(SUSparkleErrorDomain); }
};

} // namespace

UpdaterFrameworkPointer makeUpdaterFramework()
{
    return UpdaterFrameworkPointer(new SparkleUpdaterFramework,
                                   [](UpdaterFramework* framework) { delete framework; });
}

} // namespace velmor::platform::mac
