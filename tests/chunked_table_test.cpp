#include "reference/chunked_table.h"

#include <gtest/gtest.h>

#include <string>

namespace penmorph {
namespace {

TEST(ChunkedTable, KeepsEveryRecordInPlaceAcrossChunkBoundaries) {
  ChunkedTable<std::string> table;
  std::vector<const std::string*> addresses;
  for (int i = 0; i < 5000; ++i) {
    addresses.push_back(&table.emplace_back("record " + std::to_string(i)));
  }
  ASSERT_EQ(table.size(), 5000u);
  for (int i = 0; i < 5000; ++i) {
    ASSERT_EQ(table[i], "record " + std::to_string(i)) << i;
    ASSERT_EQ(&table[i], addresses[i]) << "record " << i << " moved";
  }
  int seen = 0;
  for (const std::string& record : table) {
    ASSERT_EQ(record, "record " + std::to_string(seen++));
  }
  EXPECT_EQ(seen, 5000);
}

TEST(ChunkedTable, CopiesMovesComparesAndClears) {
  ChunkedTable<std::string> a;
  for (int i = 0; i < 100; ++i) {
    a.push_back(std::string(40, static_cast<char>('a' + i % 26)));
  }
  ChunkedTable<std::string> b = a;
  EXPECT_TRUE(a == b);
  b[99] += "x";
  EXPECT_FALSE(a == b);
  ChunkedTable<std::string> c = std::move(b);
  EXPECT_TRUE(b.empty());
  EXPECT_EQ(c.size(), 100u);
  EXPECT_EQ(c.back(), std::string(40, 'v') + "x");
  c = a;
  EXPECT_TRUE(c == a);
  c.clear();
  EXPECT_TRUE(c.empty());
  c.push_back("again");
  EXPECT_EQ(c[0], "again");
}

}  // namespace
}  // namespace penmorph
