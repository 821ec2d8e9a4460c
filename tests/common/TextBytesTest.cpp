#include "common/TextBytes.h"

#include <gtest/gtest.h>

namespace vireon {
namespace {

TEST(TextBytes, DecodesUtf8AsItIsAndOtherBytesAsLatin1) {
  EXPECT_EQ(BytesToUtf8("Mag[A]"), "Mag[A]");
  EXPECT_EQ(BytesToUtf8("\xB0"), "\xC2\xB0");                // a stored degree sign
  EXPECT_EQ(BytesToUtf8("\xC2\xB0"), "\xC2\xB0");            // already UTF-8
  EXPECT_EQ(BytesToUtf8("a\xE2\x82"), "a\xC3\xA2\xC2\x82");  // truncated sequence
  EXPECT_EQ(BytesToUtf8("\xC0\x80"), "\xC3\x80\xC2\x80");    // overlong form is not UTF-8
}

TEST(TextBytes, EncodesLatin1WhenEveryCharacterFits) {
  EXPECT_EQ(Utf8ToBytes("\xC2\xB0"), "\xB0");
  EXPECT_EQ(Utf8ToBytes("plain"), "plain");
  EXPECT_EQ(Utf8ToBytes("\xE2\x82\xAC 5"), "\xE2\x82\xAC 5");  // the euro sign does not fit
}

TEST(TextBytes, RoundTripsEveryByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToBytes(BytesToUtf8(all)), all);
}

}  // namespace
}  // namespace vireon
