#include "app/host_identity.h"
#include "app/single_instance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(HostIdentity, NamesResolveToDottedAddressesInOrder) {
    const auto local = fGetHostIPAddresses("localhost");
    ASSERT_FALSE(local.empty());
    EXPECT_EQ(local[0].rfind("127.", 0), 0u) << local[0];
    EXPECT_TRUE(fGetHostIPAddresses("no-such-host.invalid").empty());
    EXPECT_FALSE(fOSMachineName().empty());
}

TEST(SingleInstance, ASecondClaimAsksTheFirstToRaise) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_TRUE(first.Claim());
    int raised = 0;
    QObject::connect(&first, &SingleInstance::RaiseRequested, [&] { ++raised; });
    SingleInstance second(dir.path());
    EXPECT_FALSE(second.Claim());
    QElapsedTimer waited;
    waited.start();
    while (raised == 0 && waited.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(raised, 1);
}

} // namespace
} // namespace tarnwick
