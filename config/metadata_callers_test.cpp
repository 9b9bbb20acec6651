#include "config/metadata_callers.h"

#include <gtest/gtest.h>

#include "config/xml_scan.h"

namespace ramulet {
namespace {

struct Expected {
  const char* caller;
  const char* via;
  const char* target;
  const char* method;
  int32_t line;
  int32_t column;
};

void ExpectCallers(const std::vector<NamedCaller>& got, std::initializer_list<Expected> expected) {
  ASSERT_EQ(got.size(), expected.size());
  size_t i = 0;
  for (const Expected& e : expected) {
    const NamedCaller& c = got[i++];
    EXPECT_EQ(c.kind, NamedCaller::Kind::kMetadata);
    EXPECT_EQ(c.caller, e.caller) << i;
    EXPECT_EQ(c.via, e.via) << i;
    EXPECT_EQ(c.target, e.target) << i;
    EXPECT_EQ(c.method, e.method) << i;
    EXPECT_EQ(c.line, e.line) << c.method;
    EXPECT_EQ(c.column, e.column) << c.method;
  }
}

TEST(MetadataCallersTest, HandlersOfJobsAndSubscriptions) {
  // A byte order mark, as the designer writes it, counts for no column.
  const std::string job =
      "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<MetaDataObject>\n <ScheduledJob>\n  <Properties>\n"
      "   <Name>Обмен</Name>\n   <MethodName>CommonModule.Обмен.Выполнить</MethodName>\n";  // cut off
  std::vector<NamedCaller> callers;
  AddHandlerCaller(job, "MethodName", "ScheduledJob.Обмен", "ScheduledJob", "ScheduledJobs/Обмен.xml", callers);
  const std::string subscription =
      "<mdclass:EventSubscription>\n<!-- <handler>CommonModule.Old.P</handler> -->\n"
      "  <handler>\n    CommonModule.Проверки.ПередЗаписью\n  </handler>\n<handler>CommonModule.X.Y</handler>";
  AddHandlerCaller(subscription, "handler", "EventSubscription.Проверка", "EventSubscription", "s.mdo", callers);
  AddHandlerCaller("<handler/><handler></handler>", "handler", "EventSubscription.Пусто", "EventSubscription", "e.mdo",
                   callers);
  ExpectCallers(callers,
                {{"ScheduledJob.Обмен", "ScheduledJob", "CommonModule.Обмен", "Выполнить", 5, 34},
                 {"EventSubscription.Проверка", "EventSubscription", "CommonModule.Проверки", "ПередЗаписью", 3, 26}});
  EXPECT_EQ(callers[0].path, "ScheduledJobs/Обмен.xml");
}

TEST(MetadataCallersTest, DesignerFormEventsAndCommands) {
  const std::string form =
      "<Form xmlns=\"http://v8.example/form\">\n"
      " <Events>\n"
      "  <Event name=\"OnOpen\">ПриОткрытии</Event>\n"
      "  <Event name=\"BeforeClose\" callType=\"Before\">Расш_ПередЗакрытием</Event>\n"
      " </Events>\n"
      " <ChildItems><InputField name=\"Поле\" id=\"1\"><Events>"
      "<Event name=\"OnChange\">ПолеПриИзменении</Event></Events></InputField></ChildItems>\n"
      " <Commands>\n"
      "  <Command name=\"Подобрать\" id=\"2\">\n"
      "   <Title><v8:item><v8:content>Подобрать &gt; все</v8:content></v8:item></Title>\n"
      "   <Action>ПодобратьОбработка</Action>\n"
      "  </Command>\n"
      "  <Command name=\"Пустая\" id=\"3\"><Action/></Command>\n"
      " </Commands>\n"
      "</Form>\n";
  std::vector<NamedCaller> callers;
  AddFormCallers(form, "Catalog.В.Form.Ф", "Catalogs/В/Forms/Ф/Ext/Form.xml", callers);
  ExpectCallers(callers, {{"Catalog.В.Form.Ф", "OnOpen", "Catalog.В.Form.Ф", "ПриОткрытии", 2, 23},
                          {"Catalog.В.Form.Ф", "BeforeClose", "Catalog.В.Form.Ф", "Расш_ПередЗакрытием", 3, 46},
                          {"Catalog.В.Form.Ф", "OnChange", "Catalog.В.Form.Ф", "ПолеПриИзменении", 5, 75},
                          {"Catalog.В.Form.Ф", "Подобрать", "Catalog.В.Form.Ф", "ПодобратьОбработка", 9, 11}});
}

TEST(MetadataCallersTest, ProjectFormHandlersAndCommands) {
  const std::string form =
      "<form:Form xmlns:form=\"http://example/form\">\n"
      "  <items xsi:type=\"form:FormField\">\n"
      "    <name>Поле</name>\n"
      "    <handlers>\n"
      "      <name>ПолеПриИзменении</name>\n"
      "      <event>OnChange</event>\n"
      "    </handlers>\n"
      "  </items>\n"
      "  <handlers><event>OnOpen</event><name>ПриОткрытии</name></handlers>\n"
      "  <formCommands>\n"
      "    <name>Подобрать</name>\n"
      "    <title><key>ru</key><value>Подобрать</value></title>\n"
      "    <action xsi:type=\"form:FormCommandHandlerContainer\">\n"
      "      <handler><name>ПодобратьОбработка</name></handler>\n"
      "    </action>\n"
      "  </formCommands>\n"
      "  <formCommands><name>БезДействия</name></formCommands>\n"
      "</form:Form>\n";
  std::vector<NamedCaller> callers;
  AddFormCallers(form, "CommonForm.Ф", "src/CommonForms/Ф/Form.form", callers);
  ExpectCallers(callers, {{"CommonForm.Ф", "OnChange", "CommonForm.Ф", "ПолеПриИзменении", 4, 12},
                          {"CommonForm.Ф", "OnOpen", "CommonForm.Ф", "ПриОткрытии", 8, 39},
                          {"CommonForm.Ф", "Подобрать", "CommonForm.Ф", "ПодобратьОбработка", 13, 21}});
}

TEST(XmlScanTest, TagsAttributesAndPositions) {
  const std::string xml = "<?xml?><!DOCTYPE x><a:b c='1>2' d = \"з\"/><![CDATA[<no>]]></a:b";
  XmlScanner scanner(xml);
  XmlTag tag;
  ASSERT_TRUE(scanner.Next(tag));
  EXPECT_EQ(tag.name, "b");
  EXPECT_TRUE(tag.empty);
  EXPECT_EQ(XmlAttribute(tag.attributes, "c"), "1>2");
  EXPECT_EQ(XmlAttribute(tag.attributes, "d"), "з");
  EXPECT_EQ(XmlAttribute(tag.attributes, "e"), "");
  EXPECT_FALSE(scanner.Next(tag));  // the closing tag is cut off

  // Columns in UTF-16 units: a character outside the BMP takes two.
  const std::string text = "ж\xF0\x9F\x98\x80x\nab";
  TextCursor cursor(text);
  int32_t line = 0, column = 0;
  cursor.MoveTo(text.find('x'), line, column);
  EXPECT_EQ(line, 0);
  EXPECT_EQ(column, 3);
  cursor.MoveTo(text.find('b'), line, column);
  EXPECT_EQ(line, 1);
  EXPECT_EQ(column, 1);
}

}  // namespace
}  // namespace ramulet
