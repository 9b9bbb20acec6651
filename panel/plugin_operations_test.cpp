#include "panel/plugin_operations.h"

#include <gtest/gtest.h>

#include "host/host_configurator.h"
#include "tests/support/memory_host.h"

namespace ramulet {
namespace {

class NotAConfigurator : public Object {};

TEST(PluginOperationsTest, CapsAnswerFixedTypedValues) {
  EXPECT_EQ(PluginCaps(0).type(), Variant::Type::Int16);
  EXPECT_EQ(PluginCaps(0).AsInt16(), 1);
  EXPECT_EQ(PluginCaps(1).type(), Variant::Type::Bool);
  EXPECT_EQ(PluginCaps(1).AsBool(), true);
  for (int32_t other : {2, -1, 1000}) EXPECT_TRUE(PluginCaps(other).IsEmpty()) << other;
}

TEST(PluginOperationsTest, EveryActionAnswersEmpty) {
  auto object = std::make_shared<NotAConfigurator>();
  for (int32_t action : {0, 1, -5}) {
    EXPECT_TRUE(PluginAction(action, Variant()).IsEmpty());
    EXPECT_TRUE(PluginAction(action, Variant::Object(object)).IsEmpty());
  }
}

TEST(PluginOperationsTest, InitReplacesSharedConfiguratorAndDoneEmptiesIt) {
  auto first = MakeMemoryHost(nullptr);
  auto second = MakeMemoryHost(nullptr);
  std::u16string title;
  ASSERT_TRUE(PluginInit(Variant::Object(first), title).ok());
  EXPECT_EQ(title, u"Рамулет");
  title.clear();
  ASSERT_TRUE(PluginInit(Variant::Object(second), title).ok());
  EXPECT_EQ(title, u"Рамулет");
  EXPECT_EQ(HostConfigurator::Get(), second);

  PluginDone();
  EXPECT_EQ(HostConfigurator::Get(), nullptr);
  PluginDone();  // Done without Init leaves it empty
  EXPECT_EQ(HostConfigurator::Get(), nullptr);
}

TEST(PluginOperationsTest, InitWithNothingEmptiesAndStillGivesTheTitle) {
  for (const Variant& nothing : {Variant(), Variant::Null(), Variant::Object(nullptr)}) {
    HostConfigurator::Set(MakeMemoryHost(nullptr));
    std::u16string title;
    ASSERT_TRUE(PluginInit(nothing, title).ok());
    EXPECT_EQ(title, u"Рамулет");
    EXPECT_EQ(HostConfigurator::Get(), nullptr);
  }
}

TEST(PluginOperationsTest, InitWithAnotherObjectFailsAndKeepsTheOldOne) {
  auto kept = MakeMemoryHost(nullptr);
  HostConfigurator::Set(kept);
  std::u16string title = u"unchanged";
  Status status = PluginInit(Variant::Object(std::make_shared<NotAConfigurator>()), title);
  EXPECT_EQ(status.code(), Status::kNoInterface);
  EXPECT_EQ(title, u"unchanged");
  EXPECT_EQ(HostConfigurator::Get(), kept);
  EXPECT_EQ(PluginInit(Variant::Int32(5), title).code(), Status::kTypeMismatch);
  EXPECT_EQ(HostConfigurator::Get(), kept);
  HostConfigurator::Clear();
}

}  // namespace
}  // namespace ramulet
