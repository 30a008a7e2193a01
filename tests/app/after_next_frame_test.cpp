#include "app/after_next_frame.h"

#include <QCoreApplication>
#include <QQuickWindow>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace velmor;

namespace {

// Delivers what is already posted to `context` and nothing else: no frame is drawn meanwhile.
void deliverPosted(QObject& context)
{
    QCoreApplication::sendPostedEvents(&context, QEvent::MetaCall);
}

} // namespace

// The task runs from the event loop once a frame synchronized after the call is presented: never
// inside the call, not for a frame already in flight when the call came, and still when the window
// goes away or is hidden first. Once its context is gone it never runs.
TEST(AfterNextFrame, RunsOnceTheChangeIsOnScreenAndIsNeverLost)
{
    auto window = std::make_unique<QQuickWindow>();
    int frames = 0;
    QObject::connect(window.get(), &QQuickWindow::frameSwapped, window.get(), [&frames] { ++frames; });
    window->resize(120, 80);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->update();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frames > 0; }, 5000));

    QObject context;
    int ran = 0;
    const auto task = [&ran] { ++ran; };

    afterNextFrame(window.get(), &context, task);
    // A frame synchronized before the call, presented now (the threaded render loop's frame in flight).
    Q_EMIT window->frameSwapped();
    deliverPosted(context);
    EXPECT_EQ(ran, 0) << "a frame from before the call does not count";
    const int before = frames;
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran == 1; }, 5000));
    EXPECT_GT(frames, before);

    afterNextFrame(window.get(), &context, task);
    window->hide();
    deliverPosted(context);
    EXPECT_EQ(ran, 2) << "hidden before its frame";

    {
        QQuickWindow neverShown;
        afterNextFrame(&neverShown, &context, task);
        deliverPosted(context);
        EXPECT_EQ(ran, 3) << "a window not on screen draws no frame to wait for";
    }

    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    afterNextFrame(window.get(), &context, task);
    window.reset();
    deliverPosted(context);
    EXPECT_EQ(ran, 4) << "destroyed before its frame";

    {
        QQuickWindow other;
        other.resize(120, 80);
        other.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
        auto gone = std::make_unique<QObject>();
        afterNextFrame(&other, gone.get(), task);
        gone.reset();
        other.update();
        QTest::qWait(50);
        EXPECT_EQ(ran, 4) << "its context went first";
    }
}
