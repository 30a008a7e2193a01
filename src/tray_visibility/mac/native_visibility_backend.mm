#include "tray_visibility/native_visibility_backend.h"

#import "tray_visibility/mac/vmb_host.h"
#import "tray_visibility/mac/vmb_visibility_bridge.h"

#include <QStringList>

#include <algorithm>

namespace velmor {
namespace {

constexpr NSInteger kMinimumSystemMajorVersion = 27;

// Holds the bridge's token; the last owner letting go ends the system's request.
class NativeVisibilityToken final : public TrayVisibilityToken {
public:
    explicit NativeVisibilityToken(id token) : m_token([token retain]) {}
    ~NativeVisibilityToken() override
    {
        @autoreleasepool {
            [m_token release];
        }
    }
    NativeVisibilityToken(const NativeVisibilityToken&) = delete;
    NativeVisibilityToken& operator=(const NativeVisibilityToken&) = delete;

    id object() const { return m_token; }

private:
    id m_token;
};

NSString* toNSString(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return [[[NSString alloc] initWithBytes:utf8.constData()
                                     length:NSUInteger(utf8.size())
                                   encoding:NSUTF8StringEncoding] autorelease];
}

QString toQString(NSString* text)
{
    if (text == nil)
        return {};
    return QString::fromUtf8([text UTF8String]);
}

} // namespace

bool NativeVisibilityBackend::isAvailable() const
{
    @autoreleasepool {
        return VMBSystemMajorVersion() >= kMinimumSystemMajorVersion && [VMBVisibilityBridge isAvailable];
    }
}

std::shared_ptr<TrayVisibilityToken> NativeVisibilityBackend::activate(const QSet<QString>& allowedBundleIDs,
                                                                       TrayVisibilityCompletion completion)
{
    @autoreleasepool {
        if (!isAvailable())
            return nullptr;
        QStringList sorted(allowedBundleIDs.cbegin(), allowedBundleIDs.cend());
        std::sort(sorted.begin(), sorted.end());
        NSMutableArray* identifiers = [NSMutableArray arrayWithCapacity:NSUInteger(sorted.size())];
        for (const QString& identifier : sorted)
            [identifiers addObject:toNSString(identifier)];

        const TrayVisibilityCompletion answer = std::move(completion);
        id token =
            [VMBVisibilityBridge activateWithAllowedBundleIdentifiers:identifiers
                                                           completion:^(NSError* error) {
                                                             if (!answer)
                                                                 return;
                                                             if (error == nil) {
                                                                 answer(std::nullopt);
                                                                 return;
                                                             }
                                                             answer(TrayVisibilityFailure::systemError(
                                                                 toQString([error localizedDescription])));
                                                           }];
        if (token == nil)
            return nullptr;
        return std::make_shared<NativeVisibilityToken>(token);
    }
}

void NativeVisibilityBackend::invalidate(TrayVisibilityToken& token)
{
    auto* native = dynamic_cast<NativeVisibilityToken*>(&token);
    if (!native)
        return;
    @autoreleasepool {
        [VMBVisibilityBridge invalidate:native->object()];
    }
}

} // namespace velmor
