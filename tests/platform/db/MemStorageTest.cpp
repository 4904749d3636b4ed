// Column storage: random appends, inserts, erases and changes against a plain model, for text
// (short, empty, long and null values across several blocks), integers that widen, and the
// null bits.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "db/MemStorage.h"

namespace {

TEST(MemColumn, TextsMatchAPlainModelThroughEveryChange) {
  uint32_t seed = 7;
  auto rnd = [&](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  auto value = [&]() -> std::optional<std::string> {
    switch (rnd(5)) {
      case 0: return std::nullopt;
      case 1: return std::string();
      case 2: return std::string(300 + rnd(200), char('a' + rnd(26)));  // beyond a length byte
      default: return std::string(1 + rnd(4), char('a' + rnd(26)));
    }
  };
  TMemColumn c(TMemColumnKind::Text);
  std::vector<std::optional<std::string>> model;
  for (int step = 0; step < 3000; ++step) {
    std::size_t n = model.size();
    uint32_t op = rnd(10);
    if (op < 5 || n == 0) {
      auto v = value();
      if (v) c.AppendText(*v);
      else c.AppendNull();
      model.push_back(v);
    } else if (op == 5) {
      std::size_t r = rnd(uint32_t(n + 1));
      c.InsertNull(r);
      model.insert(model.begin() + std::ptrdiff_t(r), std::nullopt);
    } else if (op == 6) {
      std::size_t r = rnd(uint32_t(n));
      c.Erase(r);
      model.erase(model.begin() + std::ptrdiff_t(r));
    } else if (op == 7) {
      std::size_t r = rnd(uint32_t(n));
      c.SetNull(r);
      model[r].reset();
    } else {
      std::size_t r = rnd(uint32_t(n));
      auto v = value();
      if (!v) v = "x";
      c.SetText(r, *v);
      model[r] = v;
    }
    ASSERT_EQ(c.Count(), model.size()) << step;
    if (step % 50 == 0 || step > 2980)
      for (std::size_t r = 0; r < model.size(); ++r) {
        ASSERT_EQ(c.IsNull(r), !model[r].has_value()) << step << " row " << r;
        if (model[r]) {
          ASSERT_EQ(std::string(c.Text(r)), *model[r]) << step << " row " << r;
        }
      }
  }
  // Stale bytes are dropped from time to time: the arena stays near what the rows hold.
  std::size_t live = 0;
  for (auto& v : model) live += v ? v->size() : 0;
  EXPECT_LE(c.TextBytes(), 2 * live + 70000);
}

TEST(MemColumn, IntegersWidenAndNullBitsShift) {
  TMemBits bits;
  bits.assign(3, true);
  bits.push_back(false);  // after bits set in bulk
  EXPECT_TRUE(bits[2]);
  EXPECT_FALSE(bits[3]);
  TMemColumn c(TMemColumnKind::Int);
  for (int i = 0; i < 200; ++i) {
    if (i % 3 == 0) c.AppendNull();
    else c.AppendInt(i);
  }
  c.InsertNull(0);
  c.Erase(100);
  c.SetInt(5, int64_t(1) << 40);
  c.AppendInt(-(int64_t(1) << 35));
  ASSERT_EQ(c.Count(), 201u);
  EXPECT_TRUE(c.IsNull(0));
  EXPECT_EQ(c.Int(5), int64_t(1) << 40);
  EXPECT_EQ(c.Int(200), -(int64_t(1) << 35));
  for (int i = 1; i < 200; ++i) {
    if (i == 5) continue;
    int orig = i < 100 ? i - 1 : i;  // row 100 (original 99) was erased
    EXPECT_EQ(c.IsNull(std::size_t(i)), orig % 3 == 0) << i;
    if (orig % 3 != 0) {
      EXPECT_EQ(c.Int(std::size_t(i)), orig) << i;
    }
  }
}

}  // namespace
