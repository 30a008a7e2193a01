#pragma once

// The CPU time of the main thread split into the app's own and the simulated Mac's. Every call
// the app makes into a platform service runs on the simulator's side; every way the simulator
// calls back into the app (a task the app posted, a launch notification, a mouse monitor, a
// button's action) runs on the app's side; whatever the benchmark itself drives (clicks, the run
// loop) is the simulator's. Each stretch of CPU time goes to the innermost side.

#include "platform/accessibility.h"
#include "platform/mouse_events.h"
#include "platform/scheduler.h"
#include "platform/services.h"
#include "platform/status_bar.h"
#include "platform/user_defaults.h"
#include "platform/workspace.h"

#include <ctime>
#include <memory>
#include <utility>
#include <vector>

namespace velmor::bench {

class CpuSplit final {
public:
    enum Side { App, Simulator };

    class Scope final {
    public:
        Scope(CpuSplit& split, Side side) : m_split(split) { m_split.enter(side); }
        ~Scope() { m_split.leave(); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CpuSplit& m_split;
    };

    // Runs `call` on `side` and returns what it returns.
    template <typename Call> auto on(Side side, Call&& call) -> decltype(call())
    {
        Scope scope(*this, side);
        return call();
    }

    // CPU seconds charged to a side so far.
    double seconds(Side side)
    {
        charge();
        return m_spent[side];
    }

private:
    static double threadSeconds()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    }
    void enter(Side side)
    {
        charge();
        m_sides.push_back(side);
    }
    void leave()
    {
        charge();
        m_sides.pop_back();
    }
    void charge()
    {
        const double now = threadSeconds();
        m_spent[m_sides.empty() ? Simulator : m_sides.back()] += now - m_last;
        m_last = now;
    }

    std::vector<Side> m_sides;
    double m_last = threadSeconds();
    double m_spent[2] = {0, 0};
};

// The app's tasks run on its side.
class SplitScheduler final : public platform::Scheduler {
public:
    SplitScheduler(platform::Scheduler& inner, CpuSplit& split) : m_inner(inner), m_split(split) {}

    platform::TaskHandle post(Task task) override { return m_inner.post(app(std::move(task))); }
    platform::TaskHandle after(platform::Duration delay, Task task) override
    {
        return m_inner.after(delay, app(std::move(task)));
    }
    platform::TaskHandle every(platform::Duration interval, Task task) override
    {
        return m_inner.every(interval, app(std::move(task)));
    }
    platform::TimePoint now() const override { return m_inner.now(); }
    QDateTime currentDate() const override { return m_inner.currentDate(); }

private:
    Task app(Task task)
    {
        return [&split = m_split, task = std::move(task)] { split.on(CpuSplit::App, task); };
    }

    platform::Scheduler& m_inner;
    CpuSplit& m_split;
};

class SplitAccessibility final : public platform::Accessibility {
public:
    SplitAccessibility(platform::Accessibility& inner, CpuSplit& split) : m_inner(inner), m_split(split) {}

    bool isProcessTrusted() const override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.isProcessTrusted(); });
    }
    bool requestTrust() override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.requestTrust(); });
    }
    platform::AccessibilityElement applicationElement(qint32 pid) override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.applicationElement(pid); });
    }
    platform::AccessibilityElement systemWideElement() override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.systemWideElement(); });
    }
    std::optional<platform::AccessibilityValue> attribute(const platform::AccessibilityElement& element,
                                                          const QString& name) override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.attribute(element, name); });
    }
    std::optional<int> attributeValueCount(const platform::AccessibilityElement& element,
                                           const QString& name) override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.attributeValueCount(element, name); });
    }
    std::optional<std::vector<platform::AccessibilityValue>>
    attributeValues(const platform::AccessibilityElement& element, const QString& name, int index,
                    int maximum) override
    {
        return m_split.on(CpuSplit::Simulator,
                          [&] { return m_inner.attributeValues(element, name, index, maximum); });
    }
    std::optional<QStringList> actionNames(const platform::AccessibilityElement& element) override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.actionNames(element); });
    }
    bool performAction(const platform::AccessibilityElement& element, const QString& action) override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.performAction(element, action); });
    }
    void setMessagingTimeout(const platform::AccessibilityElement& element, double seconds) override
    {
        m_split.on(CpuSplit::Simulator, [&] { m_inner.setMessagingTimeout(element, seconds); });
    }
    std::optional<platform::AccessibilityElement>
    elementAtPosition(const platform::AccessibilityElement& systemWide, QPointF point) override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.elementAtPosition(systemWide, point); });
    }
    std::optional<qint32> processIdentifier(const platform::AccessibilityElement& element) override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.processIdentifier(element); });
    }
    MenuObserverId observeMenus(qint32 pid, MenuHandler handler) override
    {
        return m_inner.observeMenus(pid, [&split = m_split, handler = std::move(handler)](bool open) {
            split.on(CpuSplit::App, [&] { handler(open); });
        });
    }
    void removeMenuObserver(MenuObserverId observer) override { m_inner.removeMenuObserver(observer); }

private:
    platform::Accessibility& m_inner;
    CpuSplit& m_split;
};

class SplitWorkspace final : public platform::Workspace {
public:
    SplitWorkspace(platform::Workspace& inner, CpuSplit& split) : m_inner(inner), m_split(split) {}

    QList<platform::RunningApplication> runningApplications() const override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.runningApplications(); });
    }
    ObserverId observeDidTerminate(LaunchHandler handler) override
    {
        return m_inner.observeDidTerminate([&split = m_split, handler = std::move(handler)](
                                               const platform::RunningApplication& application) {
            split.on(CpuSplit::App, [&] { handler(application); });
        });
    }
    ObserverId observeDidLaunch(LaunchHandler handler) override
    {
        return m_inner.observeDidLaunch([&split = m_split, handler = std::move(handler)](
                                            const platform::RunningApplication& application) {
            split.on(CpuSplit::App, [&] { handler(application); });
        });
    }
    std::optional<qint32> frontmostProcessIdentifier() const override
    {
        return m_inner.frontmostProcessIdentifier();
    }
    ObserverId observeDidActivate(ActivationHandler handler) override
    {
        return m_inner.observeDidActivate([&split = m_split, handler = std::move(handler)](qint32 pid) {
            split.on(CpuSplit::App, [&] { handler(pid); });
        });
    }
    void removeObserver(ObserverId observer) override { m_inner.removeObserver(observer); }
    bool openUrl(const QUrl& url) override { return m_inner.openUrl(url); }
    void revealInFileBrowser(const QString& path) override { m_inner.revealInFileBrowser(path); }

private:
    platform::Workspace& m_inner;
    CpuSplit& m_split;
};

class SplitUserDefaults final : public platform::UserDefaults {
public:
    SplitUserDefaults(platform::UserDefaults& inner, CpuSplit& split) : m_inner(inner), m_split(split) {}

    QVariant value(const QString& key) const override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner.value(key); });
    }
    void setValue(const QString& key, const QVariant& value) override
    {
        m_split.on(CpuSplit::Simulator, [&] { m_inner.setValue(key, value); });
    }
    void remove(const QString& key) override
    {
        m_split.on(CpuSplit::Simulator, [&] { m_inner.remove(key); });
    }

private:
    platform::UserDefaults& m_inner;
    CpuSplit& m_split;
};

class SplitMouseEvents final : public platform::MouseEvents {
public:
    SplitMouseEvents(platform::MouseEvents& inner, CpuSplit& split) : m_inner(inner), m_split(split) {}

    MonitorId addGlobalMonitor(quint64 mask, Handler handler) override
    {
        return m_inner.addGlobalMonitor(mask, app(std::move(handler)));
    }
    MonitorId addLocalMonitor(quint64 mask, Handler handler) override
    {
        return m_inner.addLocalMonitor(mask, app(std::move(handler)));
    }
    void removeMonitor(MonitorId monitor) override { m_inner.removeMonitor(monitor); }
    platform::MouseEventType currentEventType() const override { return m_inner.currentEventType(); }
    QPointF pointerLocation() const override { return m_inner.pointerLocation(); }

private:
    Handler app(Handler handler)
    {
        return [&split = m_split, handler = std::move(handler)](const platform::MouseEvent& event) {
            split.on(CpuSplit::App, [&] { handler(event); });
        };
    }

    platform::MouseEvents& m_inner;
    CpuSplit& m_split;
};

class SplitStatusButton final : public platform::StatusButton {
public:
    SplitStatusButton(platform::StatusButton& inner, CpuSplit& split) : m_inner(inner), m_split(split) {}

    void setTitle(const QString& title) override
    {
        simulator([&] { m_inner.setTitle(title); });
    }
    QString title() const override { return m_inner.title(); }
    void setSymbolImage(const QString& name, const QString& description) override
    {
        simulator([&] { m_inner.setSymbolImage(name, description); });
    }
    QString symbolName() const override { return m_inner.symbolName(); }
    void setImagePosition(platform::ImagePosition position) override
    {
        simulator([&] { m_inner.setImagePosition(position); });
    }
    void setToolTip(const QString& toolTip) override
    {
        simulator([&] { m_inner.setToolTip(toolTip); });
    }
    QString toolTip() const override { return m_inner.toolTip(); }
    void setEnabled(bool enabled) override
    {
        simulator([&] { m_inner.setEnabled(enabled); });
    }
    bool isEnabled() const override { return m_inner.isEnabled(); }
    void setAppearsDisabled(bool disabled) override
    {
        simulator([&] { m_inner.setAppearsDisabled(disabled); });
    }
    void setAccessibilityLabel(const QString& label) override
    {
        simulator([&] { m_inner.setAccessibilityLabel(label); });
    }
    QString accessibilityLabel() const override { return m_inner.accessibilityLabel(); }
    void setAction(std::function<void()> action, platform::ButtonTrigger trigger) override
    {
        m_inner.setAction(
            [&split = m_split, action = std::move(action)] {
                if (action)
                    split.on(CpuSplit::App, action);
            },
            trigger);
    }
    void performClick() override { m_inner.performClick(); }

private:
    template <typename Call> void simulator(Call call) { m_split.on(CpuSplit::Simulator, call); }

    platform::StatusButton& m_inner;
    CpuSplit& m_split;
};

class SplitStatusItem final : public platform::StatusItem {
public:
    SplitStatusItem(std::shared_ptr<platform::StatusItem> inner, CpuSplit& split)
        : m_inner(std::move(inner)), m_split(split), m_button(*m_inner->button(), split)
    {}

    void setLength(double points) override
    {
        m_split.on(CpuSplit::Simulator, [&] { m_inner->setLength(points); });
    }
    double length() const override { return m_inner->length(); }
    void setAutosaveName(const QString& name) override
    {
        m_split.on(CpuSplit::Simulator, [&] { m_inner->setAutosaveName(name); });
    }
    QString autosaveName() const override { return m_inner->autosaveName(); }
    void setVisible(bool visible) override
    {
        m_split.on(CpuSplit::Simulator, [&] { m_inner->setVisible(visible); });
    }
    bool isVisible() const override { return m_inner->isVisible(); }
    platform::StatusButton* button() override { return &m_button; }
    std::optional<QRectF> buttonWindowFrame() const override
    {
        return m_split.on(CpuSplit::Simulator, [&] { return m_inner->buttonWindowFrame(); });
    }
    void setMenu(std::optional<platform::Menu> menu) override { m_inner->setMenu(std::move(menu)); }

    const std::shared_ptr<platform::StatusItem>& inner() const { return m_inner; }

private:
    std::shared_ptr<platform::StatusItem> m_inner;
    CpuSplit& m_split;
    SplitStatusButton m_button;
};

class SplitStatusBar final : public platform::StatusBar {
public:
    SplitStatusBar(platform::StatusBar& inner, CpuSplit& split) : m_inner(inner), m_split(split) {}

    std::shared_ptr<platform::StatusItem> createItem(double length) override
    {
        return m_split.on(CpuSplit::Simulator, [&] {
            return std::make_shared<SplitStatusItem>(m_inner.createItem(length), m_split);
        });
    }
    void removeItem(const std::shared_ptr<platform::StatusItem>& item) override
    {
        const auto split = std::dynamic_pointer_cast<SplitStatusItem>(item);
        m_split.on(CpuSplit::Simulator, [&] { m_inner.removeItem(split ? split->inner() : item); });
    }

private:
    platform::StatusBar& m_inner;
    CpuSplit& m_split;
};

// The services the app is given: the simulator's, each behind its split.
class SplitServices final {
public:
    SplitServices(const platform::Services& inner, CpuSplit& split)
        : m_scheduler(*inner.scheduler, split), m_accessibility(*inner.accessibility, split),
          m_workspace(*inner.workspace, split), m_userDefaults(*inner.userDefaults, split),
          m_mouseEvents(*inner.mouseEvents, split), m_statusBar(*inner.statusBar, split), m_services(inner)
    {
        m_services.scheduler = &m_scheduler;
        m_services.accessibility = &m_accessibility;
        m_services.workspace = &m_workspace;
        m_services.userDefaults = &m_userDefaults;
        m_services.mouseEvents = &m_mouseEvents;
        m_services.statusBar = &m_statusBar;
    }
    SplitServices(const SplitServices&) = delete;
    SplitServices& operator=(const SplitServices&) = delete;

    const platform::Services& services() const { return m_services; }

private:
    SplitScheduler m_scheduler;
    SplitAccessibility m_accessibility;
    SplitWorkspace m_workspace;
    SplitUserDefaults m_userDefaults;
    SplitMouseEvents m_mouseEvents;
    SplitStatusBar m_statusBar;
    platform::Services m_services;
};

} // namespace velmor::bench
