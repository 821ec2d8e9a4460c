#include "config/IniFile.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "common/AtomicFile.h"
#include "common/VireonError.h"

namespace vireon {
namespace {

using Strings = std::vector<std::string>;

TEST(IniFile, UntouchedLinesSurviveByteForByteWithCrLf) {
  const std::string text =
      "; written by hand\r\n"
      "[Forms]\r\n"
      "MainTop = 12 \r\n"
      "odd line without equals\r\n"
      "\r\n"
      "[Unknown Section]\r\n"
      "Foo=bar=baz\r\n";
  EXPECT_EQ(IniFile::FromText(text).Text(), text);

  // LF alone is accepted; everything is written with CR LF and a final line end.
  EXPECT_EQ(IniFile::FromText("[A]\nx=1\n\n[B]\ny=2").Text(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
}

TEST(IniFile, LooksUpSectionsAndKeysIgnoringAsciiCase) {
  const IniFile ini = IniFile::FromText("[Forms]\nMainTop=12\n[\xC4x]\nK=1\n");
  EXPECT_TRUE(ini.SectionExists("FORMS"));
  EXPECT_TRUE(ini.ValueExists("forms", "maintop"));
  EXPECT_EQ(ini.ReadInteger("fOrMs", "MAINTOP", 0), 12);
  // Only ASCII letters fold: other bytes are compared as they are.
  EXPECT_TRUE(ini.SectionExists("\xC4X"));
  EXPECT_FALSE(ini.SectionExists("\xE4x"));
  EXPECT_FALSE(ini.ValueExists("Forms", "Main"));
}

TEST(IniFile, TypedReadsKeepTheCurrentValueUnlessTheTextParses) {
  const IniFile ini = IniFile::FromText(
      "[S]\nint=42\nneg=-7\nbig=99999999999\nword=abc\ncomma=1,5\ndot= 2.25 \nnan=nan\n"
      "huge=1e999\nyes=1\nminus=-3\nzero=0\nhalf=0.5\ntext=  spaced value  \n");
  struct Case {
    const char* key;
    int integer;
    double real;
    bool boolean;
  };
  // Current values: 5, 9.5, false.
  const Case cases[] = {
      {"int", 42, 42.0, true},   {"neg", -7, -7.0, true},  {"big", 5, 99999999999.0, true},
      {"word", 5, 9.5, false},   {"comma", 5, 1.5, false}, {"dot", 5, 2.25, false},
      {"nan", 5, 9.5, false},    {"huge", 5, 9.5, false},  {"yes", 1, 1.0, true},
      {"minus", -3, -3.0, true}, {"zero", 0, 0.0, false},  {"half", 5, 0.5, false},
      {"missing", 5, 9.5, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(ini.ReadInteger("S", c.key, 5), c.integer);
    EXPECT_EQ(ini.ReadFloat("S", c.key, 9.5), c.real);
    EXPECT_EQ(ini.ReadBool("S", c.key, false), c.boolean);
  }
  EXPECT_EQ(ini.ReadString("S", "text", "x"), "spaced value");
  EXPECT_EQ(ini.ReadString("S", "missing", "x"), "x");
  EXPECT_EQ(ini.ReadString("Nowhere", "text", "x"), "x");
}

TEST(IniFile, WritesChangeOnlyTheirLineAndAppendNewKeysAndSections) {
  IniFile ini = IniFile::FromText("; head\r\n[A]\r\nx = 1\r\n  Y=old\r\n\r\n\r\n[B]\r\nz=3\r\n");
  ini.WriteInteger("A", "X", 1);      // same value: the line stays as it was
  ini.WriteString("a", "y", "new");   // changed: the stored key spelling is kept
  ini.WriteBool("A", "Flag", true);   // new key: after the last key, before the blank lines
  ini.WriteFloat("C", "Ratio", 0.1);  // new section at the end
  EXPECT_THROW(ini.WriteString("C", "Two\r", "a"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("C", "a=b", "a"), std::invalid_argument);
  ini.WriteString("C", "Name", "two\r\nlines");  // a value stays on its line
  EXPECT_EQ(ini.Text(),
            "; head\r\n[A]\r\nx = 1\r\nY=new\r\nFlag=1\r\n\r\n\r\n[B]\r\nz=3\r\n\r\n[C]\r\n"
            "Ratio=0.1\r\nName=two  lines\r\n");
}

TEST(IniFile, DoublesReadBackExactly) {
  IniFile ini;
  const double values[] = {0.1, 1.0 / 3.0, -2.5e-300, 1.7976931348623157e308, 48000.0, 5e-324};
  for (const double value : values) {
    ini.WriteFloat("D", "v", value);
    EXPECT_EQ(IniFile::FromText(ini.Text()).ReadFloat("D", "v", 0.0), value);
  }
  ini.WriteFloat("D", "v", 0.1);
  EXPECT_EQ(ini.ReadString("D", "v", ""), "0.1");
  ini.WriteBool("D", "b", false);
  EXPECT_EQ(ini.ReadString("D", "b", ""), "0");
}

TEST(IniFile, SectionNameRunsFromFirstOpenToLastCloseBracket) {
  const IniFile ini = IniFile::FromText(
      "[Speakers [USB Audio] (hw:1,0)]\nRate=48000\n[not a section\nk=v\n  [Indented]\nq=1\n");
  EXPECT_EQ(ini.Sections(), (Strings{"Speakers [USB Audio] (hw:1,0)", "Indented"}));
  EXPECT_EQ(ini.ReadInteger("speakers [usb audio] (HW:1,0)", "rate", 0), 48000);
  // A "[" line without "]" is neither a header nor a key; the next key stays in the section.
  EXPECT_EQ(ini.Keys("Speakers [USB Audio] (hw:1,0)"), (Strings{"Rate", "k"}));

  IniFile written;
  written.WriteString("Card [2]", "Name", "x");
  EXPECT_EQ(IniFile::FromText(written.Text()).Sections(), (Strings{"Card [2]"}));
}

TEST(IniFile, ListsSectionsAndKeysOnceInFileOrderFirstOneWinning) {
  IniFile ini =
      IniFile::FromText("orphan=1\n[B]\nk2=1\nK1=2\nk2=3\n;c=4\n=5\n[a]\nx=1\n[b]\nk3=6\n");
  EXPECT_EQ(ini.Sections(), (Strings{"B", "a"}));
  EXPECT_EQ(ini.Keys("b"), (Strings{"k2", "K1"}));
  EXPECT_EQ(ini.ReadInteger("B", "K2", 0), 1);
  EXPECT_FALSE(ini.ValueExists("B", "k3"));  // the repeated section is not looked into

  ini.DeleteKey("b", "K2");
  EXPECT_EQ(ini.Keys("B"), (Strings{"K1"}));
  EXPECT_EQ(ini.ReadInteger("B", "k1", 0), 2);
  ini.DeleteKey("missing", "k");
}

TEST(IniFile, MissingFileIsEmptyAndSaveWritesTheWholeText) {
  const TempFolder folder;
  EXPECT_TRUE(IniFile::FromFile(folder / "none.ini").Sections().empty());
  EXPECT_TRUE(IniFile::FromFile(folder.Path()).Sections().empty());  // a folder: unreadable

  IniFile ini = IniFile::FromText("[A]\nx=1\n");
  ini.WriteInteger("A", "y", 2);
  ini.SaveFile(folder / "a.ini");
  EXPECT_EQ(folder.Read("a.ini"), "[A]\r\nx=1\r\ny=2\r\n");
}

TEST(IniFile, FailedSaveThrowsAndKeepsTheOldFile) {
  const TempFolder folder;
  WriteFileAtomically(folder / "plain", "not a folder");
  EXPECT_THROW(IniFile::FromText("[A]\nx=1\n").SaveFile(folder / "plain" / "a.ini"), VireonError);
  EXPECT_EQ(folder.Read("plain"), "not a folder");

  // A folder standing where the file should go cannot be replaced; what it holds stays.
  std::filesystem::create_directories(folder / "taken.ini");
  WriteFileAtomically(folder / "taken.ini" / "inside", "kept");
  EXPECT_THROW(IniFile::FromText("[A]\n").SaveFile(folder / "taken.ini"), VireonError);
  EXPECT_EQ(folder.Read("taken.ini/inside"), "kept");
}

TEST(IniFile, HostileTextLoadsAndReloadsToTheSameStructure) {
  const std::string cases[] = {
      std::string(1 << 20, 'x'),
      "[" + std::string(100000, '[') + "\n" + std::string(100000, ']') + "=1",
      std::string("[A\0B]\nk\0=\0v\n", 12),
      "\r\r\r\n\r[\r]\r\n=\r\n",
      "[",
      "]",
      "[]\n=\n[ ]\n k = \n",
      "no newline at all=1",
      "\n\n\n[A]\nk=1\r\r\n[a]\nK=2\n",
      std::string("\xFF\xFE[\x80]\n\x01=\x02\n", 10),
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text.substr(0, 40));
    const IniFile ini = IniFile::FromText(text);
    const IniFile again = IniFile::FromText(ini.Text());
    EXPECT_EQ(again.Text(), ini.Text());
    EXPECT_EQ(again.Sections(), ini.Sections());
    for (const std::string& section : ini.Sections()) {
      EXPECT_EQ(again.Keys(section), ini.Keys(section));
    }
  }
}

}  // namespace
}  // namespace vireon
