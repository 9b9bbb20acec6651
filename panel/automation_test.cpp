#include <gtest/gtest.h>

#include "platform/dictionary.h"
#include "host/host_configurator.h"
#include "tests/support/panel_fixture.h"

namespace ramulet {
namespace {

constexpr RamuletProperty kVariantProperties[] = {
    RamuletProperty::Method, RamuletProperty::MethodNach, RamuletProperty::MethodKon, RamuletProperty::Meth,
    RamuletProperty::A,      RamuletProperty::b,          RamuletProperty::c,         RamuletProperty::d,
    RamuletProperty::q,      RamuletProperty::doc,        RamuletProperty::CommonScripts};

class OtherObject : public Object {};

TEST(AutomationTest, PropertiesAreStoredValues) {
  PanelFixture f("Процедура А()\nКонецПроцедуры");
  for (RamuletProperty p : kVariantProperties) {
    Variant value;
    ASSERT_TRUE(f.panel.GetProperty(p, value).ok());
    EXPECT_TRUE(value.IsEmpty()) << static_cast<int>(p);
  }
  int n = 0;
  for (RamuletProperty p : kVariantProperties) {
    ASSERT_TRUE(f.panel.PutProperty(p, Variant::Int32(++n)).ok());
  }
  n = 0;
  for (RamuletProperty p : kVariantProperties) {
    Variant value;
    ASSERT_TRUE(f.panel.GetProperty(p, value).ok());
    EXPECT_EQ(value.AsInt32(), ++n) << static_cast<int>(p);
  }
  auto object = std::make_shared<OtherObject>();
  ASSERT_TRUE(f.panel.PutProperty(RamuletProperty::doc, Variant::Object(object)).ok());
  Variant doc;
  ASSERT_TRUE(f.panel.GetProperty(RamuletProperty::doc, doc).ok());
  EXPECT_EQ(doc.AsObject(), object);
}

TEST(AutomationTest, CurTextDocTakesOnlyTextDocumentsOrNothing) {
  PanelFixture f("Процедура А()\nКонецПроцедуры");
  Variant value;
  ASSERT_TRUE(f.panel.GetProperty(RamuletProperty::curTextDoc, value).ok());
  EXPECT_EQ(value.type(), Variant::Type::Object);
  EXPECT_EQ(value.AsObject(), nullptr);

  EXPECT_EQ(f.panel.PutProperty(RamuletProperty::curTextDoc, Variant::Int32(1)).code(), Status::kTypeMismatch);
  EXPECT_EQ(f.panel.PutProperty(RamuletProperty::curTextDoc, Variant::Object(std::make_shared<OtherObject>())).code(),
            Status::kTypeMismatch);
  ASSERT_TRUE(f.panel.PutProperty(RamuletProperty::curTextDoc, Variant::Object(f.module)).ok());
  ASSERT_TRUE(f.panel.GetProperty(RamuletProperty::curTextDoc, value).ok());
  EXPECT_EQ(value.AsObject(), f.module);
  ASSERT_TRUE(f.panel.PutProperty(RamuletProperty::curTextDoc, Variant()).ok());
  EXPECT_EQ(f.panel.tables().curTextDoc, nullptr);
}

TEST(AutomationTest, RefreshWritesTheTablesTheSurfaceShows) {
  PanelFixture f("Процедура А()\n  Б();\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры");
  ASSERT_TRUE(f.Refresh().ok());
  Variant method, q, d, common, doc, text_doc;
  ASSERT_TRUE(f.panel.GetProperty(RamuletProperty::Method, method).ok());
  ASSERT_TRUE(f.panel.GetProperty(RamuletProperty::q, q).ok());
  ASSERT_TRUE(f.panel.GetProperty(RamuletProperty::d, d).ok());
  ASSERT_TRUE(f.panel.GetProperty(RamuletProperty::CommonScripts, common).ok());
  ASSERT_TRUE(f.panel.GetProperty(RamuletProperty::doc, doc).ok());
  ASSERT_TRUE(f.panel.GetProperty(RamuletProperty::curTextDoc, text_doc).ok());
  ASSERT_NE(method.AsObjectOf<Dictionary>(), nullptr);
  EXPECT_EQ(method.AsObjectOf<Dictionary>()->Count(), 2u);
  EXPECT_TRUE(q.EqualsNumber(3));
  EXPECT_EQ(d.type(), Variant::Type::Array);
  EXPECT_EQ(d.ArraySize(), 0u);
  EXPECT_TRUE(common.IsEmpty());
  EXPECT_EQ(doc.AsObject(), text_doc.AsObject());
}

TEST(AutomationTest, NomMetAndRodEstThroughTheSurface) {
  PanelFixture f("Процедура А()\n  Б();\nКонецПроцедуры\nПроцедура Б()\nКонецПроцедуры");
  Variant result;
  ASSERT_TRUE(f.panel.NomMet(Variant::Text(u"А"), result).ok());
  EXPECT_EQ(result.AsInt16(), -1);  // before any refresh

  ASSERT_TRUE(f.Refresh().ok());
  Variant name = Variant::Text(u"Б");
  ASSERT_TRUE(f.panel.NomMet(name, result).ok());
  EXPECT_TRUE(result.EqualsNumber(1));
  EXPECT_TRUE(name.EqualsText(u"Б"));
  ASSERT_TRUE(f.panel.NomMet(Variant::Text(u"б"), result).ok());
  EXPECT_EQ(result.AsInt16(), -1);

  Variant node = Variant::Object(std::make_shared<TreeNode>(f.panel.tree(), f.NodeAt({u"А", u"Б"})));
  ASSERT_TRUE(f.panel.RodEst(node, Variant::Text(u"А"), Variant::Int16(1), result).ok());
  EXPECT_EQ(result.AsInt16(), 1);
  ASSERT_EQ(f.boxes.shown().size(), 2u);
  EXPECT_EQ(f.boxes.shown()[0].text, "Б");
  EXPECT_EQ(f.boxes.shown()[1].text, "А");
  EXPECT_EQ(f.boxes.shown()[0].title, std::nullopt);
  EXPECT_EQ(f.panel.RodEst(Variant::Int32(1), Variant::Text(u"А"), Variant(), result).code(), Status::kTypeMismatch);

  f.panel.TestMacros();
  EXPECT_EQ(f.Methods().size(), 2u);
}

TEST(AutomationTest, PluginOperationsAsMembers) {
  PanelFixture f("");
  std::u16string title;
  ASSERT_TRUE(f.panel.IConfigPlugin_Init(Variant::Object(f.host), title).ok());
  EXPECT_EQ(title, u"Рамулет");
  EXPECT_EQ(f.panel.IConfigPlugin_GetPluginCaps(0).AsInt16(), 1);
  EXPECT_TRUE(f.panel.IConfigPlugin_DoAction(3, Variant::Object(f.host)).IsEmpty());
  f.panel.IConfigPlugin_Done();
  EXPECT_EQ(HostConfigurator::Get(), nullptr);
}

}  // namespace
}  // namespace ramulet
