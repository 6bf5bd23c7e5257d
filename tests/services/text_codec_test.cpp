#include "services/text_codec.h"

#include <gtest/gtest.h>

namespace services {
namespace {

std::string Codes(std::initializer_list<int> codes) {
  std::string s;
  for (int c : codes) s.push_back(static_cast<char>(c));
  return s;
}

TEST(TextCodec, ShiftsEachCodeAndWrapsAtTheEnds) {
  EXPECT_EQ(EncodeText(""), "");
  EXPECT_EQ(DecodeText(""), "");
  EXPECT_EQ(EncodeText(Codes({0, 191, 192, 255})), Codes({64, 255, 1, 64}));
  EXPECT_EQ(DecodeText(Codes({0, 63, 64, 255})), Codes({191, 254, 0, 191}));
}

TEST(TextCodec, DecodeUndoesEncodeForEveryCodeBelow255) {
  std::string all;
  for (int c = 0; c < 255; ++c) all.push_back(static_cast<char>(c));
  EXPECT_EQ(DecodeText(EncodeText(all)), all);
  // No length limit: a line longer than 32,767 characters goes through whole.
  const std::string long_line(40000, 'a');
  EXPECT_EQ(DecodeText(EncodeText(long_line)), long_line);
}

}  // namespace
}  // namespace services
