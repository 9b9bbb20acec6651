#include "host/host_configurator.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/memory_host.h"

namespace ramulet {
namespace {

// ReleaseThread lets go of the thread's configurator and factory at once
// (the owner calls it while the host is still there); the slot works
// again afterwards.
TEST(HostConfiguratorTest, ReleaseThreadLetsGoOfConfiguratorAndFactory) {
  std::weak_ptr<Configurator> watched;
  {
    auto host = MakeMemoryHost(nullptr);
    watched = host;
    HostConfigurator::Set(host);
  }
  HostConfigurator::SetFactory([](std::shared_ptr<Configurator>& made) {
    made = MakeMemoryHost(nullptr);
    return Status::Ok();
  });
  HostConfigurator::ReleaseThread();
  EXPECT_TRUE(watched.expired());
  EXPECT_EQ(HostConfigurator::Get(), nullptr);
  std::shared_ptr<Configurator> acquired;
  EXPECT_FALSE(HostConfigurator::Acquire(acquired).ok());  // the factory went too

  HostConfigurator::Set(MakeMemoryHost(nullptr));
  EXPECT_NE(HostConfigurator::Get(), nullptr);
  HostConfigurator::ReleaseThread();
  HostConfigurator::ReleaseThread();  // twice is harmless
  EXPECT_EQ(HostConfigurator::Get(), nullptr);
}

TEST(HostConfiguratorTest, EachThreadHasItsOwnSlot) {
  auto host = MakeMemoryHost(nullptr);
  HostConfigurator::Set(host);
  std::shared_ptr<Configurator> seen_elsewhere = host;
  std::thread other([&] {
    seen_elsewhere = HostConfigurator::Get();
    HostConfigurator::ReleaseThread();
  });
  other.join();
  EXPECT_EQ(seen_elsewhere, nullptr);
  EXPECT_EQ(HostConfigurator::Get(), host);
  HostConfigurator::ReleaseThread();
}

}  // namespace
}  // namespace ramulet
