#include "simulated_mac/simulated_below_bar_panel.h"

#include <gtest/gtest.h>

using namespace velmor;
using Panel = simulated_mac::SimulatedBelowBarPanel;

namespace {

QList<platform::BelowBarPanel::Entry> entries(int count)
{
    QList<platform::BelowBarPanel::Entry> list;
    for (int i = 0; i < count; ++i) {
        platform::BelowBarPanel::Entry entry;
        entry.name = QString::number(i);
        entry.processIdentifier = 100 + i;
        list.append(entry);
    }
    return list;
}

} // namespace

// The panel hangs a gap below the bar, its right edge under the anchor's, and never leaves the
// screen: it keeps a gap from either edge however many entries it holds and wherever the anchor is.
TEST(SimulatedBelowBarPanel, StaysOnTheScreenAGapFromEitherEdge)
{
    const QRectF screen(0, 0, 1512, 982);
    const double width = Panel::entryPoints;
    const double height = Panel::entryPoints + 2 * Panel::padding;
    const struct {
        const char* name;
        int entries;
        double anchorRight;
        double x;
        double width;
    } cases[] = {
        {"under its anchor", 3, 1200, 1200 - (3 * width + 12), 3 * width + 12},
        {"anchored at the left end", 3, 50, Panel::gap, 3 * width + 12},
        {"anchored at the right end", 3, 1512, 1512 - (3 * width + 12) - Panel::gap, 3 * width + 12},
        {"the most that fit", 49, 1400, Panel::gap, 49 * width + 12},
        {"one more than fit", 50, 1400, Panel::gap, 1512 - 2 * Panel::gap},
        {"far more than fit, anchored right", 200, 1512, Panel::gap, 1512 - 2 * Panel::gap},
    };
    for (const auto& test : cases) {
        Panel panel;
        panel.setScreen(screen, 37);
        EXPECT_FALSE(panel.frame()) << "closed";
        panel.show(entries(test.entries), QRectF(test.anchorRight - 30, 945, 30, 37));
        const auto frame = panel.frame();
        ASSERT_TRUE(frame) << test.name;
        EXPECT_DOUBLE_EQ(frame->x(), test.x) << test.name;
        EXPECT_DOUBLE_EQ(frame->width(), test.width) << test.name;
        EXPECT_GE(frame->left(), screen.left() + Panel::gap) << test.name;
        EXPECT_LE(frame->right(), screen.right() - Panel::gap) << test.name;
        EXPECT_DOUBLE_EQ(frame->top(), 982 - 37 - Panel::gap - height) << test.name;
        EXPECT_DOUBLE_EQ(frame->height(), height) << test.name;
    }
}
