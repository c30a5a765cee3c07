#include <gtest/gtest.h>

#include <string>

#include "framework/FunctionRef.h"

namespace {

int Twice(int n) { return 2 * n; }

int CallWith(CFunctionRef<int(int)> f, int n) { return f ? f(n) : -1; }

}  // namespace

TEST(FunctionRef, CallsWhatItRefersToWithoutACopy) {
  int calls = 0;
  const auto counting = [&calls](int n) { return n + ++calls; };
  struct Row {
    int got;
    int expected;
  };
  const Row rows[] = {
      {CallWith({}, 5), -1},                        // empty: false, not called
      {CallWith(&Twice, 21), 42},                   // a function
      {CallWith(counting, 10), 11},                 // a lambda with state ...
      {CallWith(counting, 10), 12},                 // ... the same one, not a copy
      {CallWith([](long n) { return n * 3; }, 4), 12},  // a result and argument converted
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(rows[i].expected, rows[i].got) << "row " << i;
  EXPECT_EQ(2, calls);
}

TEST(FunctionRef, PassesReferencesThrough) {
  std::string text;
  const auto appendX = [](std::string& s) { s += "x"; };
  const CFunctionRef<void(std::string&)> append = appendX;
  append(text);
  append(text);
  EXPECT_EQ("xx", text);
}
