#import "tray_visibility/mac/vmb_visibility_bridge.h"

#import "tray_visibility/mac/vmb_host.h"

#include <Block.h>
#include <dlfcn.h>

#include <cstring>

namespace {

NSString* const kErrorDomain = @"local.velmor.tray.visibility";
const NSInteger kErrorCode = 1;
NSString* const kRejectedFormat = @"macOS rejected the visibility request (%@).";

NSString* const kConfigurationClass = @"MBAssessmentModeConfiguration";
NSString* const kAssertionClass = @"MBAssessmentModeAssertion";
NSString* const kConfigurationInitializer = @"initWithAllowedSystemItems:allowedBundleIdentifiers:";
NSString* const kActivation = @"activateWithConfiguration:completionHandler:";
NSString* const kInvalidation = @"invalidate";

const NSInteger kMinimumSystemMajorVersion = 27;
// The framework numbers the system's own menu bar items; all of them stay allowed.
const int kSystemItemCount = 256;

// A reference a block keeps alive. Blocks retain the objects they capture only where the runtime
// tells the blocks runtime how, which the GNU runtime does not; C++ copies work everywhere.
class Retained final {
public:
    explicit Retained(id object) : m_object([object retain]) {}
    Retained(const Retained& other) : m_object([other.m_object retain]) {}
    Retained& operator=(const Retained&) = delete;
    ~Retained() { [m_object release]; }
    id get() const { return m_object; }

private:
    id m_object;
};

// The caller's completion, copied off the caller's stack. Block_copy rather than capturing the
// block directly, for the same reason as Retained.
class CopiedCompletion final {
public:
    using Block = void (^)(NSError*);
    explicit CopiedCompletion(Block block) : m_block(copy(block)) {}
    CopiedCompletion(const CopiedCompletion& other) : m_block(copy(other.m_block)) {}
    CopiedCompletion& operator=(const CopiedCompletion&) = delete;
    ~CopiedCompletion()
    {
        if (m_block != nil)
            Block_release(m_block);
    }
    void operator()(NSError* error) const
    {
        if (m_block != nil)
            m_block(error);
    }

private:
    static Block copy(Block block)
    {
        if (block == nil)
            return nil;
        return Block_copy(block);
    }

    Block m_block;
};

bool frameworkLoaded()
{
    // Loaded once per process; the image stays for the process's life.
    static const bool loaded = [] {
        NSString* path = VMBFrameworkPath();
        return path != nil && dlopen([path fileSystemRepresentation], RTLD_NOW | RTLD_LOCAL) != nullptr;
    }();
    return loaded;
}

bool instancesRespond(NSString* className, NSString* selectorName)
{
    Class type = NSClassFromString(className);
    return type != Nil && [type instancesRespondToSelector:NSSelectorFromString(selectorName)];
}

// The activation method must take (configuration, completion block) and return nothing; anything
// else is a framework this bridge does not know how to call.
bool hasActivationShape(NSMethodSignature* signature)
{
    if (signature == nil || [signature numberOfArguments] != 4)
        return false;
    if (std::strcmp([signature methodReturnType], "v") != 0)
        return false;
    return [signature getArgumentTypeAtIndex:2][0] == '@' && [signature getArgumentTypeAtIndex:3][0] == '@';
}

} // namespace

// The state also carries the assertion from the activation to its answer. The answer must be able
// to end an assertion that was cancelled while the request was in flight, even after the token let
// go of it, because the system may confirm an assertion after an early `invalidate`. Holding it only
// until the answer arrives keeps that guarantee on every runtime, which a zeroing weak reference
// would not (the GNU runtime has none).
@implementation VMBAssertionState

@synthesize cancelled = _cancelled;

- (void)holdAssertionUntilAnswered:(id)assertion
{
    @synchronized(self) {
        [assertion retain];
        [_assertion release];
        _assertion = assertion;
    }
}

- (id)takeAssertion
{
    @synchronized(self) {
        id assertion = _assertion;
        _assertion = nil;
        return assertion;
    }
}

- (void)dealloc
{
    [_assertion release];
    [super dealloc];
}

@end

@implementation VMBAssertionToken

@synthesize assertion = _assertion;
@synthesize state = _state;

- (void)dealloc
{
    _state.cancelled = YES;
    VMBInvalidate(_assertion);
    [_assertion release];
    [_state release];
    [super dealloc];
}

@end

void VMBInvalidate(id object)
{
    if (object == nil)
        return;
    @try {
        SEL invalidate = NSSelectorFromString(kInvalidation);
        if ([object respondsToSelector:invalidate])
            [object performSelector:invalidate];
    } @catch (NSException*) {
    }
}

NSError* VMBError(NSString* message)
{
    NSDictionary* info = [NSDictionary dictionaryWithObject:message forKey:NSLocalizedDescriptionKey];
    return [NSError errorWithDomain:kErrorDomain code:kErrorCode userInfo:info];
}

@implementation VMBVisibilityBridge

+ (BOOL)isAvailable
{
    @try {
        if (VMBSystemMajorVersion() < kMinimumSystemMajorVersion)
            return NO;
        if (!frameworkLoaded())
            return NO;
        return instancesRespond(kConfigurationClass, kConfigurationInitializer) &&
               instancesRespond(kAssertionClass, kActivation) &&
               instancesRespond(kAssertionClass, kInvalidation);
    } @catch (NSException*) {
        return NO;
    }
}

+ (id)activateWithAllowedBundleIdentifiers:(NSArray*)identifiers completion:(void (^)(NSError*))completion
{
    if (![self isAvailable])
        return nil;
    VMBAssertionToken* token = [[[VMBAssertionToken alloc] init] autorelease];
    VMBAssertionState* state = [[[VMBAssertionState alloc] init] autorelease];
    token.state = state;
    id assertion = nil;
    @try {
        NSMutableArray* systemItems = [NSMutableArray arrayWithCapacity:kSystemItemCount];
        for (int item = 0; item < kSystemItemCount; ++item)
            [systemItems addObject:[NSNumber numberWithInt:item]];

        id configuration = [[NSClassFromString(kConfigurationClass) alloc]
            performSelector:NSSelectorFromString(kConfigurationInitializer)
                 withObject:systemItems
                 withObject:identifiers];
        if (configuration == nil)
            return nil;
        [configuration autorelease];

        assertion = [[[NSClassFromString(kAssertionClass) alloc] init] autorelease];
        token.assertion = assertion;
        [state holdAssertionUntilAnswered:assertion];

        SEL activation = NSSelectorFromString(kActivation);
        NSMethodSignature* signature = [assertion methodSignatureForSelector:activation];
        if (!hasActivationShape(signature))
            return nil;

        const Retained sharedState(state);
        const CopiedCompletion callerCompletion(completion);
        void (^answer)(NSError*) = ^(NSError* error) {
          VMBAssertionState* answered = sharedState.get();
          id answeredAssertion = [answered takeAssertion];
          // Cancelled while the request was in flight: the assertion must not stay in force.
          if (answered.cancelled)
              VMBInvalidate(answeredAssertion);
          [answeredAssertion release];
          callerCompletion(error);
        };
        void (^heapAnswer)(NSError*) = Block_copy(answer);
        NSInvocation* invocation = [NSInvocation invocationWithMethodSignature:signature];
        [invocation setSelector:activation];
        [invocation setArgument:&configuration atIndex:2];
        [invocation setArgument:&heapAnswer atIndex:3];
        @try {
            [invocation invokeWithTarget:assertion];
        } @finally {
            Block_release(heapAnswer);
        }
        return token;
    } @catch (NSException* exception) {
        VMBInvalidate(assertion);
        if (completion != nil)
            completion(VMBError([NSString stringWithFormat:kRejectedFormat, [exception name]]));
        return nil;
    }
}

+ (void)invalidate:(id)token
{
    if (![token isKindOfClass:[VMBAssertionToken class]])
        return;
    VMBAssertionToken* assertionToken = token;
    assertionToken.state.cancelled = YES;
    VMBInvalidate(assertionToken.assertion);
}

@end
