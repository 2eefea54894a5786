#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "files/DTDBuilders.h"
#include "files/XMLReader.h"

namespace {

// A palette-like format in two versions: 2.1 added the optional Comment.
struct Grammars {
  std::shared_ptr<const TDTDCompound> v10 =
      Compound("Palette",
               Seq({Text("Version"), Text("Name", true), Repeat(Compound("Item", Text("Color")))}));
  std::shared_ptr<const TDTDCompound> v21 =
      Compound("Palette", Seq({Text("Version"), Text("Name", true), Optional(Text("Comment")),
                               Repeat(Compound("Item", Text("Color")))}));

  XMLGrammarFor For() const {
    return [this](const std::string& version, std::string& error) -> const TDTDCompound* {
      if (version == "1.0") return v10.get();
      if (version == "2.1") return v21.get();
      error = "Version \"" + version + "\" is not supported.";
      return nullptr;
    };
  }
};

std::unique_ptr<TXMLComplexElement> Palette(const std::string& version) {
  auto root = std::make_unique<TXMLComplexElement>("Palette");
  root->AddString("Version", version);
  root->AddString("Name", "  a  b^\r\n\t<%s>\xe9 ^");
  if (version == "2.1") root->AddString("Comment", "c");
  root->AddComplex("Item").AddString("Color", "0000FF");
  root->AddComplex("Item").AddString("Color", "00FF00");
  return root;
}

std::string Written(const TXMLItem& document) {
  std::string out;
  document.Write(out, 0);
  return out;
}

TEST(XMLReaderTest, ParsesWrittenFilesWithTheGrammarOfTheirVersion) {
  const Grammars grammars;
  for (const std::string version : {"1.0", "2.1"}) {
    SCOPED_TRACE(version);
    const auto palette = Palette(version);
    XMLParseResult result;
    std::string error;
    ASSERT_TRUE(ParseXMLBytes(palette->WriteXMLString(), grammars.For(), result, error)) << error;
    EXPECT_EQ(result.version, version);
    EXPECT_EQ(result.root->GetElement(), "Root");
    ASSERT_EQ(result.document, result.root->GetFirstElement());
    // Leading and trailing blanks of a text do not survive; everything else does.
    EXPECT_EQ(result.document->FindElement("Name")->GetString(), "a  b^\r\n\t<%s>\xe9 ^");
    EXPECT_EQ(result.document->line, 4);
    EXPECT_EQ(result.document->column, 9);
  }
}

TEST(XMLReaderTest, RoundTripsThroughAFile) {
  const Grammars grammars;
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("korvana-xmlreader-" + std::to_string(::getpid()) + ".cp1");
  const auto palette = Palette("2.1");
  std::string error;
  ASSERT_TRUE(palette->WriteXMLFile(file.string(), error)) << error;
  XMLParseResult first;
  ASSERT_TRUE(ParseXMLFile(file.string(), grammars.For(), first, error)) << error;
  // Once trimmed, a tree writes and reads back to exactly the same bytes.
  const std::string once = Written(*first.document);
  ASSERT_TRUE(
      static_cast<const TXMLComplexElement*>(first.document)->WriteXMLFile(file.string(), error));
  XMLParseResult second;
  ASSERT_TRUE(ParseXMLFile(file.string(), grammars.For(), second, error)) << error;
  EXPECT_EQ(Written(*second.document), once);
  std::filesystem::remove(file);
}

TEST(XMLReaderTest, FailuresGiveTheOneMessageAndNoTree) {
  const Grammars grammars;
  const std::string prolog =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE Palette SYSTEM \"P.dtd\">\n\n";
  struct Case {
    std::string bytes;
    std::string message;
  };
  const Case cases[] = {
      {prolog + "<Palette><Version>9</Version></Palette>", "Version \"9\" is not supported."},
      {prolog + "<Palette></Palette>", "Version \"\" is not supported."},
      {prolog + "<Palette><Version>2.1</Version><Name/></Palette>",
       "unexpected empty element \"Name\", expect begin of element \"Name\". at line 4, column "
       "34."},
      {prolog + "<Palette><Version>2.1</Version>&",
       "unexpected end-of-file  found in line 4, "
       "column 27."},
      {prolog + "<Version>2.1</Version>",
       "unexpected begin of element \"Version\", expect begin of element \"Palette\", at line 4, "
       "column 9."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    XMLParseResult result;
    std::string error;
    ASSERT_TRUE(ParseXMLBytes(Palette("1.0")->WriteXMLString(), grammars.For(), result, error));
    EXPECT_FALSE(ParseXMLBytes(c.bytes, grammars.For(), result, error));
    EXPECT_EQ(error, c.message);
    EXPECT_EQ(result.root, nullptr);
    EXPECT_EQ(result.document, nullptr);
  }
  XMLParseResult result;
  std::string error;
  EXPECT_FALSE(ParseXMLFile("/nonexistent/korvana.cp1", grammars.For(), result, error));
  EXPECT_EQ(error, "cannot open file.");
}

}  // namespace
