#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "files/XMLItem.h"
#include "files/XMLText.h"

namespace {

using namespace std::string_literals;

TEST(XMLItemTest, WritesTheFileFormatByteForByte) {
  TXMLComplexElement root("UnitFractal");
  root.AddString("Version", "2.1");
  root.AddComplex("FractalView");
  TXMLComplexElement& palette = root.AddComplex("ColorPalette1D");
  palette.AddString("Name", "a<b>^\tc\r\nd\n100%\xe9");
  palette.AddString("Empty", "");
  palette.AddComplex("Item").AddString("Color", "FF0000");
  EXPECT_EQ(root.WriteXMLString(),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
            "<!DOCTYPE UnitFractal SYSTEM \"UnitFractal.dtd\">\n"
            "\n"
            "<UnitFractal>\n"
            "  <Version>2.1</Version>\n"
            "  <FractalView />\n"
            "  <ColorPalette1D>\n"
            "    <Name>a^Sb^G^^^Tc^Ed^E100%\xe9</Name>\n"
            "    <Empty></Empty>\n"
            "    <Item>\n"
            "      <Color>FF0000</Color>\n"
            "    </Item>\n"
            "  </ColorPalette1D>\n"
            "</UnitFractal>\n");
  EXPECT_EQ(TXMLComplexElement("P%").WriteXMLString("%1"),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
            "<!DOCTYPE P%%1 SYSTEM \"P%%1.dtd\">\n\n<P% />\n");
}

TEST(XMLItemTest, EscapesAndUnescapesText) {
  const std::vector<std::pair<std::string, std::string>> written = {
      {"\t", "^T"},    {"\n", "^E"},           {"\r", ""}, {"<", "^S"}, {">", "^G"}, {"^", "^^"},
      {"a^b", "a^^b"}, {"%s \xff", "%s \xff"}, {"", ""}};
  for (const auto& [text, escaped] : written) EXPECT_EQ(EscapeText(text), escaped) << text;

  const std::vector<std::pair<std::string, std::string>> read = {
      {"^E", "\r\n"}, {"^T", "\t"}, {"^S", "<"},  {"^G", ">"}, {"^^", "^"},   {"^^E", "^E"},
      {"^x", "^x"},   {"^e", "^e"}, {"a^", "a^"}, {"^", "^"},  {"^^^", "^^"}, {"^E^", "\r\n^"}};
  for (const auto& [escaped, text] : read) EXPECT_EQ(UnescapeText(escaped), text) << escaped;

  // What the writer writes reads back as the text, line feeds as carriage return + line feed.
  const std::string text = "x\r\n\ty<^>^^ z^";
  EXPECT_EQ(UnescapeText(EscapeText(text)), text);
}

TEST(XMLItemTest, ShownTextEscapesControlBytesOnly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain text", "plain text"},
      {"a\x01z", "a\\x01z"},
      {"a\0b\0"s, "a\\0b\\0"},
      {"\t\n\r\x1f\x7f", "\\x09\\x0A\\x0D\\x1F\\x7F"},
      // Bytes 128-255 are text of the file's character set; a backslash stays as it is.
      {"\xe9\x80\xff \\x01 ^E", "\xe9\x80\xff \\x01 ^E"},
      {"", ""}};
  for (const auto& [text, shown] : cases) EXPECT_EQ(ShownText(text), shown) << shown;
}

TEST(XMLItemTest, FindsChildrenByExactName) {
  TXMLComplexElement root("R");
  TXMLItem& first = root.AddString("Name", "1");
  root.AddString("name", "2");
  root.AddString("Name", "3");
  EXPECT_EQ(root.FindElement("Name"), &first);
  EXPECT_EQ(root.FindElement("name")->GetString(), "2");
  EXPECT_EQ(root.FindElement("Nam"), nullptr);
  EXPECT_EQ(TXMLComplexElement("E").FindElement("Name"), nullptr);
}

TEST(XMLItemTest, RemovingTrailingChildrenKeepsTheSiblingLinksSound) {
  TXMLComplexElement root("R");
  TXMLItem& a = root.AddString("A", "");
  root.AddComplex("B").AddComplex("C");
  root.AddString("D", "");
  root.RemoveElementsAfter(&a);
  EXPECT_EQ(a.next, nullptr);
  EXPECT_EQ(root.GetLastElement(), &a);
  TXMLItem& e = root.AddString("E", "");
  EXPECT_EQ(a.next, &e);
  root.RemoveElementsAfter(&e);
  EXPECT_EQ(root.GetLastElement(), &e);
  root.RemoveElementsAfter(nullptr);
  EXPECT_EQ(root.GetFirstElement(), nullptr);
  EXPECT_EQ(root.GetLastElement(), nullptr);
}

TEST(XMLItemTest, VeryDeepAndWideTreesDieWithoutRecursion) {
  auto root = std::make_unique<TXMLComplexElement>("R");
  TXMLComplexElement* deepest = root.get();
  for (int i = 0; i < 200000; ++i) deepest = &deepest->AddComplex("D");
  for (int i = 0; i < 100000; ++i) deepest->AddString("S", "x");
  root.reset();
}

class XMLItemFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("korvana-xmlitem-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  static std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::filesystem::path dir;
};

TEST_F(XMLItemFileTest, WritesTheSameBytesAsInMemoryAndReplacesTheOldFile) {
  TXMLComplexElement root("Project");
  root.AddString("Version", "2.1");
  const std::filesystem::path file = dir / "p.orp";
  std::ofstream(file) << "an older and much longer content that must not survive";
  std::string error;
  ASSERT_TRUE(root.WriteXMLFile(file.string(), error, "X")) << error;
  EXPECT_EQ(Contents(file), root.WriteXMLString("X"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(XMLItemFileTest, ReportsAFailedWriteAndLeavesNothingBehind) {
  TXMLComplexElement root("Project");
  std::string error;
  EXPECT_FALSE(root.WriteXMLFile((dir / "missing" / "p.orp").string(), error));
  EXPECT_EQ(error, "Operating System cannot open file for writing, maybe the file is readonly.");
  // A folder in the way of the target: the old entry stays, no temporary file is left.
  std::filesystem::create_directories(dir / "p.orp" / "inside");
  error.clear();
  EXPECT_FALSE(root.WriteXMLFile((dir / "p.orp").string(), error));
  EXPECT_EQ(error, "Operating System cannot open file for writing, maybe the file is readonly.");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "p.orp" / "inside"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(XMLItemDeathTest, AccessorsOfTheWrongKindAreFatal) {
  TXMLComplexElement complex("C");
  TXMLStringElement text("S", "x");
  EXPECT_DEATH(complex.GetString(), "false");
  EXPECT_DEATH(text.FindElement("x"), "false");
  EXPECT_DEATH(text.GetFirstElement(), "false");
  EXPECT_DEATH(text.GetElements(), "false");
  TXMLStringElement stranger("X", "");
  EXPECT_DEATH(complex.RemoveElementsAfter(&stranger), "keep > 0");
}

}  // namespace
