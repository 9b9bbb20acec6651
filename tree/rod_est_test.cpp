#include <gtest/gtest.h>

#include "tests/support/scripted_message_boxes.h"
#include "tree/call_tree.h"
#include "tree/tree_test_support.h"

namespace ramulet {
namespace {

class RodEstTest : public ::testing::Test {
 protected:
  // A calls B calls C calls D; C also calls "1"; "Run" calls "run".
  void SetUp() override {
    analysis_ = MakeAnalysis({{"A", {"B"}},
                          {"B", {"C"}},
                          {"C", {"D", "1"}},
                          {"D", {}},
                          {"1", {}},
                          {"Run", {"run"}},
                          {"run", {}}});
    Rebuild();
  }
  void Rebuild() {
    tree_ = std::make_shared<CallTree>();
    ASSERT_TRUE(BuildCallTree(analysis_, *tree_).ok());
  }
  // The node reached from the top-level node `top` by following first
  // children `depth` times.
  int32_t Below(const char16_t* top, int depth) const {
    int32_t node = tree_->nodes.Find(top);
    for (int i = 0; i < depth; ++i) node = tree_->nodes.FirstChild(node);
    return node;
  }
  Variant Call(int32_t node, const Variant& met, const Variant& viv) {
    Variant result;
    Status status = RodEst(NodeVariant(tree_, node), met, viv, boxes_, result);
    EXPECT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(result.type(), Variant::Type::Int16);
    return result;
  }
  std::vector<std::string> ShownTexts() const {
    std::vector<std::string> texts;
    for (const auto& shown : boxes_.shown()) texts.push_back(shown.text);
    return texts;
  }

  ModuleAnalysis analysis_;
  std::shared_ptr<CallTree> tree_;
  ScriptedMessageBoxes boxes_;
};

TEST_F(RodEstTest, FindsTheNameOnTheWholePath) {
  const int32_t d = Below(u"A", 3);
  ASSERT_EQ(tree_->nodes.Text(d), u"D");
  struct Case {
    Variant met;
    int16_t found;
  };
  const Case cases[] = {
      {Variant::Text(u"D"), 1},  {Variant::Text(u"C"), 1}, {Variant::Text(u"A"), 1},  {Variant::Text(u"a"), 0},
      {Variant::Text(u"D "), 0}, {Variant::Text(u"E"), 0}, {Variant::Text(u""), 0},   {Variant(), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Call(d, c.met, Variant::Int32(0)).AsInt16(), c.found);
  const int32_t one = tree_->nodes.NextSibling(d);  // named "1"
  ASSERT_EQ(tree_->nodes.Text(one), u"1");
  EXPECT_EQ(Call(one, Variant::Int32(1), Variant()).AsInt16(), 0);  // a number never matches a name
  EXPECT_EQ(Call(one, Variant::Text(u"1"), Variant()).AsInt16(), 1);
  EXPECT_EQ(Call(Below(u"Run", 1), Variant::Text(u"Run"), Variant()).AsInt16(), 1);
  EXPECT_EQ(Call(Below(u"run", 0), Variant::Text(u"Run"), Variant()).AsInt16(), 0);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(RodEstTest, ShowsEveryNodeFromItselfUpToTheTop) {
  const int32_t d = Below(u"A", 3);
  EXPECT_EQ(Call(d, Variant::Text(u"B"), Variant::Int16(1)).AsInt16(), 1);
  EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"D", "C", "B", "A"}));
  for (const auto& shown : boxes_.shown()) {
    EXPECT_EQ(shown.title, std::nullopt);
    EXPECT_EQ(shown.buttons, MessageBoxes::Buttons::Ok);
    EXPECT_EQ(shown.icon, MessageBoxes::Icon::None);
  }
  boxes_.Forget();
  Call(tree_->nodes.Find(u"B"), Variant::Text(u"B"), Variant::Int16(1));
  EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"B"}));
}

TEST_F(RodEstTest, ShowsBoxesOnlyWhenVivEqualsOne) {
  struct Case {
    const char* name;
    Variant viv;
    size_t boxes;
  };
  const Case cases[] = {
      {"Int16 1", Variant::Int16(1), 3},        {"Int32 1", Variant::Int32(1), 3},
      {"Double 1", Variant::Double(1.0), 3},    {"text 1", Variant::Text(u"1"), 3},
      {"Int32 0", Variant::Int32(0), 0},        {"Empty", Variant(), 0},
      {"Double 1.5", Variant::Double(1.5), 0},  {"Int32 2", Variant::Int32(2), 0},
      {"True (-1)", Variant::Bool(true), 0},    {"text x", Variant::Text(u"x"), 0},
      {"Null", Variant::Null(), 0},
  };
  const int32_t c = Below(u"A", 2);
  for (const Case& test : cases) {
    boxes_.Forget();
    Call(c, Variant::Text(u"Z"), test.viv);
    EXPECT_EQ(boxes_.shown().size(), test.boxes) << test.name;
  }
}

TEST_F(RodEstTest, RejectsValuesThatAreNoNodeOfTheCurrentTree) {
  struct Case {
    const char* name;
    Variant node;
    int32_t code;
  };
  std::shared_ptr<const CallTree> earlier = tree_;
  Variant stale = NodeVariant(earlier, 1);
  ASSERT_TRUE(BuildCallTree(analysis_, *tree_).ok());  // the same tree, rebuilt
  const Case cases[] = {
      {"Empty", Variant(), Status::kTypeMismatch},
      {"text", Variant::Text(u"A"), Status::kTypeMismatch},
      {"number", Variant::Int32(1), Status::kTypeMismatch},
      {"other object", Variant::Object(std::make_shared<Object>()), Status::kTypeMismatch},
      {"stale", stale, Status::kInvalidArgument},
      {"no tree", NodeVariant(nullptr, 1), Status::kInvalidArgument},
      {"index 0", NodeVariant(tree_, 0), Status::kOutOfRange},
      {"past the end", NodeVariant(tree_, tree_->nodes.Count() + 1), Status::kOutOfRange},
  };
  for (const Case& c : cases) {
    Variant result = Variant::Text(u"unchanged");
    Status status = RodEst(c.node, Variant::Text(u"A"), Variant::Int32(1), boxes_, result);
    EXPECT_EQ(status.code(), c.code) << c.name;
    EXPECT_FALSE(status.message().empty()) << c.name;
    EXPECT_TRUE(result.EqualsText(u"unchanged")) << c.name;
  }
  EXPECT_TRUE(boxes_.shown().empty());
}

}  // namespace
}  // namespace ramulet
