#pragma once

#include "platform/screens.h"

#include <map>

namespace velmor::platform::mac {

// The displays (NSScreen); the first is the primary one, which holds the menu bar.
class MacScreens final : public Screens {
public:
    ~MacScreens() override;

    QList<QRectF> frames() const override;
    std::optional<QRectF> mainVisibleFrame() const override;
    QList<ScreenTopArea> topAreas() const override;
    QList<DisplayIdentity> identities() const override;
    bool separateSpaces() const override;
    ObserverId observeChanges(std::function<void()> handler) override;
    void removeObserver(ObserverId observer) override;

private:
    std::map<ObserverId, id> m_observers;
    ObserverId m_nextObserver = 1;
};

} // namespace velmor::platform::mac
