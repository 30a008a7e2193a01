#include "telemetry/app_signal_context.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

constexpr quint64 gib = quint64(1) << 30;

// A complete description reaches the wire in the client's tests; here what stands in for gaps.
TEST(AppSignalContextTest, DescribesAnAppWithoutIdentifierOrVersions)
{
    const auto bare =
        AppSignalContext::describe(std::nullopt, QVariant(), QVariant(qint64(57)), {27, 0, 0}, 0);
    EXPECT_EQ(bare.app, "velmor");
    EXPECT_EQ(bare.release, "0+0");
    EXPECT_EQ(bare.os, "27.0.0");
}

TEST(AppSignalContextTest, MemoryClassesUseWholeGibibytes)
{
    EXPECT_EQ(AppSignalContext::memoryClassOf(8 * gib), "up_to_8GB");
    EXPECT_EQ(AppSignalContext::memoryClassOf(9 * gib - 1), "up_to_8GB");
    EXPECT_EQ(AppSignalContext::memoryClassOf(9 * gib), "up_to_16GB");
    EXPECT_EQ(AppSignalContext::memoryClassOf(17 * gib - 1), "up_to_16GB");
    EXPECT_EQ(AppSignalContext::memoryClassOf(17 * gib), "up_to_32GB");
    EXPECT_EQ(AppSignalContext::memoryClassOf(32 * gib), "up_to_32GB");
    EXPECT_EQ(AppSignalContext::memoryClassOf(33 * gib), "over_32GB");
}

} // namespace
} // namespace velmor
