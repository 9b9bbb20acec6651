#include "tree/node_store.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "tree/tree_test_support.h"

namespace ramulet {
namespace {

class NodeStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { store_.Reset(&names_); }

  int32_t Root(int32_t method) {
    int32_t index = 0;
    EXPECT_TRUE(store_.AddRoot(method, index).ok());
    return index;
  }
  int32_t Child(int32_t parent, int32_t method) {
    int32_t index = 0;
    EXPECT_TRUE(store_.AddChild(parent, method, index).ok());
    return index;
  }

  std::vector<std::u16string> names_ = {u"Alpha", u"alpha", u"B", u"$ 4", u"$ 2"};
  NodeStore store_;
};

TEST_F(NodeStoreTest, ChildKeyHasOneLeadingSpace) {
  EXPECT_EQ(NodeStore::ChildKey(12), u"$ 12");
  EXPECT_EQ(NodeStore::ChildKey(12).size(), 4u);
  EXPECT_EQ(NodeStore::ChildKey(7), u"$ 7");
  EXPECT_EQ(NodeStore::ChildKey(16777216), u"$ 16777216");
}

TEST_F(NodeStoreTest, FindTakesExactKeysOnly) {
  Root(0);  // 1 Alpha
  Root(1);  // 2 alpha
  Root(2);  // 3 B
  for (int32_t i = 4; i <= 12; ++i) Child(1, 2);
  struct Case {
    std::u16string key;
    int32_t found;
  };
  const Case cases[] = {
      {u"$ 12", 12}, {u"$ 4", 4},     {u"$12", 0},   {u"$ 012", 0},      {u"$  12", 0}, {u"$ 12 ", 0},
      {u" $ 12", 0}, {u"$ +12", 0},   {u"$ -12", 0}, {u"$ 0", 0},        {u"$ 1", 0},   {u"$ 13", 0},
      {u"$ ", 0},    {u"$", 0},       {u"", 0},      {u"$ 4294967308", 0}, {u"Alpha", 1}, {u"alpha", 2},
      {u"ALPHA", 0}, {u"Alpha ", 0},  {u"B", 3},     {u"b", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(store_.Find(c.key), c.found) << Utf16ToUtf8(c.key);
  for (int32_t i = 1; i <= store_.Count(); ++i) EXPECT_EQ(store_.Find(store_.Key(i)), i);
}

TEST_F(NodeStoreTest, ClearRestartsIndicesAtOne) {
  Root(0);
  Child(1, 1);
  store_.Clear();
  EXPECT_EQ(store_.Count(), 0);
  EXPECT_EQ(store_.Find(u"Alpha"), NodeStore::kNoNode);
  EXPECT_EQ(store_.Find(u"$ 2"), NodeStore::kNoNode);
  EXPECT_EQ(store_.FirstRoot(), NodeStore::kNoNode);
  EXPECT_EQ(Root(2), 1);
  EXPECT_EQ(DumpTree(store_), "B\n");
}

TEST_F(NodeStoreTest, RejectsTakenKeysAndBadArguments) {
  Root(0);
  int32_t index = -1;
  EXPECT_EQ(store_.AddRoot(0, index).code(), Status::kDuplicateKey);
  EXPECT_EQ(store_.AddChild(2, 0, index).code(), Status::kOutOfRange);  // no node 2
  EXPECT_EQ(store_.AddChild(0, 0, index).code(), Status::kOutOfRange);
  EXPECT_EQ(store_.AddChild(1, 5, index).code(), Status::kOutOfRange);  // no method 5
  EXPECT_EQ(store_.AddRoot(-1, index).code(), Status::kOutOfRange);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(store_.Count(), 1);
  Child(1, 2);                                                          // key "$ 2"
  EXPECT_EQ(store_.AddRoot(4, index).code(), Status::kDuplicateKey);    // named "$ 2"
  Root(3);                                                              // 3, named "$ 4"
  EXPECT_EQ(store_.AddChild(1, 2, index).code(), Status::kDuplicateKey);  // would be "$ 4"
  EXPECT_EQ(store_.Count(), 3);
  EXPECT_FALSE(store_.AddRoot(0, index).message().empty());
}

TEST_F(NodeStoreTest, ChildrenAddedOutOfTurnStillComeLast) {
  int32_t a = Root(0);
  int32_t b = Root(2);
  Child(a, 1);
  Child(b, 1);
  int32_t third = Child(a, 2);
  Child(a, 1);
  Child(third, 0);
  EXPECT_EQ(DumpTree(store_),
            "Alpha\n"
            "  alpha\n"
            "  B\n"
            "    Alpha\n"
            "  alpha\n"
            "B\n"
            "  alpha\n");
}

TEST_F(NodeStoreTest, HoldsSixteenBytesPerNodeAcrossBlocks) {
  Root(0);
  const int32_t count = 4 * NodeStore::kBlockSize;
  for (int32_t i = 2; i <= count; ++i) Child(1 + (i - 2) / 1000, i % 3);
  EXPECT_EQ(store_.Count(), count);
  EXPECT_LE(store_.MemoryBytes(), 16u * count + 1024u);
  for (int32_t i : {NodeStore::kBlockSize - 1, NodeStore::kBlockSize, NodeStore::kBlockSize + 1, count}) {
    EXPECT_EQ(store_.Method(i), i % 3) << i;
    EXPECT_EQ(store_.Parent(i), 1 + (i - 2) / 1000) << i;
    EXPECT_EQ(store_.Find(NodeStore::ChildKey(i)), i);
  }
}

}  // namespace
}  // namespace ramulet
