// Importers of the curve formats other programs write: response text as tools of the trade
// export it, the impulse formats, and their malformed forms.

#include <gtest/gtest.h>

#include <cmath>

#include "FileTestSupport.h"
#include "files/ForeignFormats.h"
#include "files/Real48.h"

namespace vireon {
namespace {

class ForeignFormatsTest : public ::testing::Test {
 protected:
  bool ImportText(const std::string& content, bool impedance = false) {
    testing_support::WriteFile(folder_ / "in.txt", content);
    messages_ = CollectedMessages();
    return ImportResponseText(folder_ / "in.txt", record_, impedance, context_, messages_);
  }
  std::string Message() const { return messages_.Texts().empty() ? "" : messages_.Texts().front(); }
  const DataArray& Column(std::size_t c) const { return record_.FFields[c].Values; }

  TempFolder folder_;
  FileContext context_;
  CollectedMessages messages_;
  TDataMeas record_;
};

std::string ResponseLines(int count, double first, double step) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += std::to_string(first + step * i) + " " + std::to_string(-0.1 * i) + " " +
            std::to_string(i % 360 - 180) + "\r\n";
  }
  return text;
}

TEST_F(ForeignFormatsTest, ResponseWithTitleAndCommentsLoadsEveryPoint) {
  ASSERT_TRUE(ImportText("  My Woofer  \r\n* measured at 1 m\r\n* gated\r\n" +
                         ResponseLines(200, 20.0, 100.0)));
  EXPECT_EQ(record_.FTitle, "My Woofer");
  EXPECT_EQ(record_.FDataType, kFrequencyResponse);
  ASSERT_EQ(record_.FNumPoints, 200);
  EXPECT_EQ(Column(0)[199], 20.0 + 100.0 * 199);
  EXPECT_NEAR(Column(1)[10], std::pow(10.0, -1.0 / 20.0), 1e-12);  // -1 dB, linear
  EXPECT_EQ(Column(2)[10], -170.0);
  EXPECT_EQ(record_.FFields[1].Name, "Frequency Response Magnitude");
  EXPECT_EQ(record_.FFields[2].Units, "\xB0");
  EXPECT_EQ(record_.FViewStart, 20.0);
  EXPECT_EQ(record_.FEndX, 19920.0);
  EXPECT_EQ(record_.FMarkerPixX[1], 199);
  EXPECT_EQ(record_.FMarkerX[1], 19920.0f);
  EXPECT_EQ(record_.FSampleRate, 192000);
}

TEST_F(ForeignFormatsTest, DescendingDataIsReversedAndHighFrequenciesSetTheRate) {
  ASSERT_TRUE(ImportText("40000 0 0\n30000 -1 10\n20000 -2 20\n10000 -3 30\n"));
  EXPECT_EQ(Column(0), (DataArray{10000, 20000, 30000, 40000}));
  EXPECT_EQ(Column(2), (DataArray{30, 20, 10, 0}));
  EXPECT_EQ(record_.FSampleRate, 80000);
}

TEST_F(ForeignFormatsTest, RepeatedFrequencyKeepsTheLaterLineAndABrokenDirectionEndsTheData) {
  ASSERT_TRUE(ImportText("10 0 1\n20 0 2\n20 -6 3\n30 0 4\n40 0 5\n35 0 6\n50 0 7\n"));
  EXPECT_EQ(Column(0), (DataArray{10, 20, 30, 40}));
  EXPECT_EQ(Column(2), (DataArray{1, 3, 4, 5}));
  EXPECT_NEAR(Column(1)[1], std::pow(10.0, -6.0 / 20.0), 1e-12);
}

TEST_F(ForeignFormatsTest, ImpedanceKeepsOhms) {
  ASSERT_TRUE(ImportText("10 6.5 10\n100 7.25 -5\n1000 30 40\n10000 12 -60\n", true));
  EXPECT_EQ(record_.FDataType, kImpedance);
  EXPECT_EQ(record_.FTitle, "Impedance");
  EXPECT_EQ(Column(1), (DataArray{6.5, 7.25, 30, 12}));
  EXPECT_EQ(record_.FFields[1].Units, "Ohm");
  EXPECT_EQ(record_.FRefScale, 10.0);
}

TEST_F(ForeignFormatsTest, SeparatorsAndDecimalCommasOfOtherTools) {
  const char* const variants[] = {
      "100 -3.5 45\n200 -3.5 45\n300 -3.5 45\n400 -3.5 45\n",
      "100\t-3.5\t45\r\n200\t-3.5\t45\r\n300\t-3.5\t45\r\n400\t-3.5\t45\r\n",
      "100,-3.5,45\n200,-3.5,45\n300,-3.5,45\n400,-3.5,45\n",
      "100, -3.5, 45\n200, -3.5, 45\n300, -3.5, 45\n400, -3.5, 45\n",
      "100;-3,5;45\n200;-3,5;45\n300;-3,5;45\n400;-3,5;45\n",
      "100 -3,5 45\n200 -3,5 45\n300 -3,5 45\n400 -3,5 45\n",
      "\"Freq\",\"dB\",\"deg\"\n  100 -3.5 45\n  +200 -3.5 45\n300 -3.5 45\n400 -3.5 45 extra\n",
      "100 -3.5 45\n\n200 -3.5 45\n* note\n300 -3.5 45\n400 -3.5 45",
  };
  for (const char* variant : variants) {
    ASSERT_TRUE(ImportText(variant)) << variant << Message();
    EXPECT_EQ(Column(0), (DataArray{100, 200, 300, 400})) << variant;
    EXPECT_NEAR(Column(1)[3], std::pow(10.0, -3.5 / 20.0), 1e-12) << variant;
    EXPECT_EQ(Column(2)[3], 45.0) << variant;
  }
  ASSERT_TRUE(ImportText("100 -3.5\n200 -3.5\n300 -3.5\n400 -3.5\n"));
  EXPECT_EQ(Column(2)[0], 0.0) << "a missing phase is 0";
}

TEST_F(ForeignFormatsTest, TooFewPointsOrTooLongAHeaderAreFormatErrors) {
  EXPECT_FALSE(ImportText("100 0 0\n200 0 0\n300 0 0\n"));
  EXPECT_EQ(Message(), "File Format Error!");
  EXPECT_FALSE(ImportText(""));
  EXPECT_EQ(Message(), "File Format Error!");
  std::string header = "Title\n";
  for (int i = 0; i < 15; ++i) header += "comment\n";
  EXPECT_TRUE(ImportText(header + ResponseLines(4, 10, 10)));
  EXPECT_FALSE(ImportText(header + "one comment too many\n" + ResponseLines(4, 10, 10)));
  EXPECT_EQ(Message(), "File Format Error!");
}

TEST_F(ForeignFormatsTest, TitleWithoutDataGivesOneNeutralPoint) {
  ASSERT_TRUE(ImportText("Only a title\n"));
  EXPECT_EQ(record_.FNumPoints, 1);
  EXPECT_EQ(Column(0), DataArray{1000.0});
  EXPECT_EQ(Column(1), DataArray{1.0});
  EXPECT_EQ(Column(2), DataArray{0.0});
}

std::string ImpText(const std::string& count, int samples) {
  std::string text = count + "\r\n511\r\n48000.4\r\nignored\r\n";
  for (int i = 0; i < samples; ++i) text += (i == 0 ? "1.0" : "0.0") + std::string("\r\n");
  return text;
}

TEST_F(ForeignFormatsTest, ImpLoadsAnImpulseWithItsTrailer) {
  testing_support::WriteFile(folder_ / "a.imp",
                             ImpText("256", 256) + "Tweeter\r\n1\r\nx\r\n0\r\n9\r\n0\r\n");
  ASSERT_TRUE(ImportImp(folder_ / "a.imp", record_, context_, messages_));
  EXPECT_EQ(record_.FDataType, kTimeDomain);
  EXPECT_EQ(record_.FNumPoints, 256);
  EXPECT_EQ(record_.FSampleRate, 48000);
  EXPECT_EQ(record_.FSampleBits, 16);
  EXPECT_EQ(record_.FWindowLen, 511);
  EXPECT_EQ(record_.FTitle, "Tweeter");
  EXPECT_EQ(record_.FFields[0].Name, "Amplitude");
  EXPECT_EQ(record_.FFields[0].InputKind, 2);
  EXPECT_EQ(Column(0)[0], 1.0);
  EXPECT_DOUBLE_EQ(record_.FEndX, 255.0 / 48000.0);
}

TEST_F(ForeignFormatsTest, ImpFailuresShowTheirStep) {
  testing_support::WriteFile(folder_ / "b.imp", ImpText("1000", 1000));
  EXPECT_FALSE(ImportImp(folder_ / "b.imp", record_, context_, messages_));
  EXPECT_EQ(messages_.Texts().back(), "Invalid File Format! 5");
  testing_support::WriteFile(folder_ / "c.imp", ImpText("512", 100));
  EXPECT_FALSE(ImportImp(folder_ / "c.imp", record_, context_, messages_));
  EXPECT_EQ(messages_.Texts().back(), "EOF: Out-of-range");
}

// The 6-byte real of v, built from frexp: v = m·2^e, 0.5 ≤ |m| < 1.
std::string Real48(double v) {
  std::string bytes(6, '\0');
  if (v == 0.0) return bytes;
  int e = 0;
  const double m = std::frexp(std::fabs(v), &e);
  const auto fraction =
      static_cast<std::uint64_t>(std::llround((2.0 * m - 1.0) * std::ldexp(1.0, 39)));
  bytes[0] = static_cast<char>(e + 128);
  for (int i = 1; i <= 5; ++i)
    bytes[static_cast<std::size_t>(i)] = static_cast<char>((fraction >> (8 * (i - 1))) & 0xFF);
  if (v < 0) bytes[5] = static_cast<char>(bytes[5] | 0x80);
  return bytes;
}

std::string Real48Text(const std::string& text) {
  std::string block(13 * 6, '\0');
  block[0] = static_cast<char>(text.size());
  block.replace(1, text.size(), text);
  return block;
}

std::string Im2File(double count, double rate, int samples) {
  std::string file = Real48(count) + Real48(300) + Real48(rate) + Real48(0);
  for (int i = 0; i < samples; ++i) file += Real48(i == 1 ? -0.75 : 0.0);
  return file;
}

TEST(Real48, DecodesSignExponentAndFraction) {
  auto decode = [](const std::string& raw) {
    std::array<std::uint8_t, 6> bytes{};
    for (std::size_t i = 0; i < 6; ++i) bytes[i] = static_cast<std::uint8_t>(raw[i]);
    return DecodeReal48(bytes);
  };
  EXPECT_EQ(decode(std::string("\x81\0\0\0\0\0", 6)), 1.0);
  EXPECT_EQ(decode(std::string("\x82\0\0\0\0\x80", 6)), -2.0);
  EXPECT_EQ(decode(std::string("\x81\0\0\0\0\x40", 6)), 1.5);
  EXPECT_EQ(decode(std::string("\0\xFF\xFF\xFF\xFF\xFF", 6)), 0.0);
  // 39 fraction bits: exact for short values, within 2^-40 relative otherwise.
  for (const double v : {48000.0, -0.75, 1e-9, 123456.789}) {
    EXPECT_NEAR(decode(Real48(v)), v, std::fabs(v) * std::ldexp(1.0, -40));
  }
}

TEST_F(ForeignFormatsTest, Im2LoadsSamplesTitleDateAndWindow) {
  const std::string file = Im2File(256, 44100, 256) + Real48Text("Mid") + Real48(0) +
                           Real48Text("2024-03-05 12:00:00") + Real48(3) + Real48(200) + Real48(0);
  testing_support::WriteFile(folder_ / "a.im2", file);
  ASSERT_TRUE(ImportIm2(folder_ / "a.im2", record_, context_, messages_));
  EXPECT_EQ(record_.FNumPoints, 256);
  EXPECT_EQ(record_.FSampleRate, 44100);
  EXPECT_EQ(record_.FWindowLen, 300);
  EXPECT_EQ(Column(0)[1], -0.75);
  EXPECT_EQ(record_.FTitle, "Mid");
  EXPECT_EQ(record_.FFields[0].InputKind, 0);
  EXPECT_EQ(record_.FFields[0].Units, "Pr");
  EXPECT_EQ(record_.FWindowType, 3);
  EXPECT_EQ(record_.FWinStart, 3);
  EXPECT_EQ(record_.FWinEnd, 200);
  EXPECT_DOUBLE_EQ(record_.FTimeStamp, 45356.5);  // 5 Mar 2024, noon
}

TEST_F(ForeignFormatsTest, Im2FailuresShowTheirStep) {
  struct Case {
    std::string file;
    const char* message;
  };
  const Case cases[] = {
      {Im2File(1000, 44100, 0), "Invalid File Format! 7"},
      {Im2File(256, 1000, 0), "Invalid File Format! 9"},
      {Im2File(256, 44100, 100), "EOF: Out-of-range"},
      {Im2File(256, 44100, 256) + "\x10", "EOF: Out-of-range"},
  };
  for (const Case& c : cases) {
    testing_support::WriteFile(folder_ / "b.im2", c.file);
    EXPECT_FALSE(ImportIm2(folder_ / "b.im2", record_, context_, messages_));
    EXPECT_EQ(messages_.Texts().back(), c.message);
  }
}

TEST_F(ForeignFormatsTest, UndocumentedLegacyCurvesAreRefused) {
  testing_support::WriteFile(folder_ / "a.fr2", "anything");
  EXPECT_FALSE(ImportFr2(folder_ / "a.fr2", messages_));
  EXPECT_FALSE(ImportZf2(folder_ / "a.fr2", messages_));
  EXPECT_EQ(messages_.Texts(),
            (std::vector<std::string>{"Invalid File Format! 12", "Invalid File Format! 12"}));
  EXPECT_FALSE(ImportFr2(folder_ / "missing.fr2", messages_));
  EXPECT_EQ(messages_.Texts().size(), 2u);
}

}  // namespace
}  // namespace vireon
