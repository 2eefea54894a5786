#include "app/FractalDocumentFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include "DocumentTestSupport.h"
#include "files/XMLText.h"

namespace {

using namespace std::string_literals;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(FractalDocumentFile, NewDocumentIsWrittenAsVersion21WithItsElementsInOrder) {
  TempFolder folder;
  ScriptedInteraction ui;
  const std::string file = folder.File("new.kvf");
  ASSERT_TRUE(SaveFractalDocument(TFractalContent(), file, ui));
  EXPECT_TRUE(ui.shown.empty());
  const std::string text = FileBytes(file);
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                       "<!DOCTYPE UnitFractal SYSTEM \"UnitFractal.dtd\">\n\n"
                       "<UnitFractal>\n  <Version>2.1</Version>\n  <FractalView>\n",
                       0),
            0u)
      << text;
  const std::string fractal =
      "  </BitmapsProps>\n"
      "  <Fractal>\n"
      "    <XResolution>300</XResolution>\n"
      "    <YResolution>300</YResolution>\n"
      "    <Left>-1.5</Left>\n"
      "    <Right>1.5</Right>\n"
      "    <Top>1.5</Top>\n"
      "    <Bottom>-1.5</Bottom>\n"
      "    <MaxDepth>100</MaxDepth>\n"
      "    <OuterCircle>1000</OuterCircle>\n"
      "    <InnerDist>0.0001</InnerDist>\n"
      "    <MaxCycle>3</MaxCycle>\n"
      "    <CycleLowest />\n"
      "    <Formula>z^^2+c</Formula>\n"
      "    <MapZ />\n"
      "    <CR>-0.122561</CR>\n"
      "    <CI>-0.744862</CI>\n"
      "    <DR>-0.3</DR>\n"
      "    <DI>-0.3</DI>\n"
      "    <N>5</N>\n"
      "    <M>3</M>\n"
      "  </Fractal>\n"
      "</UnitFractal>\n";
  ASSERT_GE(text.size(), fractal.size());
  EXPECT_EQ(text.substr(text.size() - fractal.size()), fractal);
  EXPECT_LT(text.find("<FractalView>"), text.find("<BitmapsProps>"));
}

TEST(FractalDocumentFile, UnusualDocumentReadsBackAndSavesTheSameText) {
  TempFolder folder;
  ScriptedInteraction ui;
  const TFractalContent written = UnusualContent();
  ASSERT_TRUE(SaveFractalDocument(written, folder.File("a.kvf"), ui));
  TFractalContent read;
  std::string message;
  ASSERT_TRUE(LoadFractalDocument(read, folder.File("a.kvf"), message)) << message;
  EXPECT_EQ(read.Fractal, written.Fractal);
  EXPECT_EQ(read.Bitmaps, written.Bitmaps);
  EXPECT_EQ(read.View.MaxDepthTransFactor.GetUnit(), EUnitKind::EHPerc);
  EXPECT_EQ(read.View.MaxDepthTransFactor.GetValue(), 0.5);
  EXPECT_EQ(read.View.ValuesPerPixel.GetValue(), 2);
  EXPECT_EQ(read.View.PalOutside.GetColor(0.25), 0x00FF00u);
  EXPECT_EQ(read.Fractal.MapVar, MapD);
  EXPECT_EQ(read.Fractal.CycleSelection, CycleHighest);
  EXPECT_EQ(read.Fractal.Formula, 7);
  ASSERT_TRUE(SaveFractalDocument(read, folder.File("b.kvf"), ui));
  EXPECT_EQ(FileBytes(folder.File("b.kvf")), FileBytes(folder.File("a.kvf")));
  EXPECT_TRUE(Contains(FileBytes(folder.File("a.kvf")), "<MapD />"));
  EXPECT_TRUE(Contains(FileBytes(folder.File("a.kvf")), "<MaxDepthTransFactor>50 %</MaxDepthTransFactor>"));
  EXPECT_TRUE(ui.shown.empty());
}

// A document of the older generation: an empty View, the older FractalView with older palettes,
// no BitmapsProps, no cycle selection, ZR and ZI between the map element and CR.
std::string OlderDocument(const std::string& z, const std::string& version = "2.0") {
  return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
         "<!DOCTYPE UnitFractal SYSTEM \"UnitFractal.dtd\">\n\n"
         "<UnitFractal>\n"
         "  <Version>" + version + "</Version>\n"
         "  <View />\n"
         "  <FractalView>\n"
         "    <Outside>\n"
         "      <SensNormal />\n"
         "      <Strength>2</Strength>\n"
         "      <UseColorPalette1D />\n"
         "      <ColorPalette1D>\n"
         "        <BeginColor>0000FF</BeginColor>\n"
         "        <ColorPalette1DItem>\n"
         "          <Position>50 %</Position>\n"
         "          <ColorBefore>00FF00</ColorBefore>\n"
         "          <ColorAfter>00FF00</ColorAfter>\n"
         "        </ColorPalette1DItem>\n"
         "        <EndColor>FF0000</EndColor>\n"
         "      </ColorPalette1D>\n"
         "      <BackgroundColor>000000</BackgroundColor>\n"
         "      <ForegroundColor>FFFFFF</ForegroundColor>\n"
         "    </Outside>\n"
         "    <Inside>\n"
         "      <SensLow />\n"
         "      <Strength>1</Strength>\n"
         "      <Depth>\n"
         "        <ColorPalette1D>\n"
         "          <BeginColor>000000</BeginColor>\n"
         "          <EndColor>0080FF</EndColor>\n"
         "        </ColorPalette1D>\n"
         "        <Background>\n"
         "          <ColorPalette1D>\n"
         "            <BeginColor>000000</BeginColor>\n"
         "            <EndColor>808080</EndColor>\n"
         "          </ColorPalette1D>\n"
         "          <Color>000000</Color>\n"
         "        </Background>\n"
         "        <Foreground>\n"
         "          <ColorPalette1D>\n"
         "            <BeginColor>0080FF</BeginColor>\n"
         "            <EndColor>00FF80</EndColor>\n"
         "          </ColorPalette1D>\n"
         "          <Color>0080FF</Color>\n"
         "        </Foreground>\n"
         "      </Depth>\n"
         "    </Inside>\n"
         "    <MaxDepthColor>102030</MaxDepthColor>\n"
         "    <CursorColor>00FFFF</CursorColor>\n"
         "  </FractalView>\n"
         "  <Fractal>\n"
         "    <XResolution>200</XResolution>\n"
         "    <YResolution>100</YResolution>\n"
         "    <Left>-2</Left>\n"
         "    <Right>1</Right>\n"
         "    <Top>1</Top>\n"
         "    <Bottom>-0.5</Bottom>\n"
         "    <MaxDepth>64</MaxDepth>\n"
         "    <OuterCircle>4</OuterCircle>\n"
         "    <InnerDist>0.001</InnerDist>\n"
         "    <MaxCycle>5</MaxCycle>\n"
         "    <Formula>z^^3+c</Formula>\n"
         "    <MapC />\n"
         "    <ZR>" + z + "</ZR>\n"
         "    <ZI>" + z + "</ZI>\n"
         "    <CR>0.25</CR>\n"
         "    <CI>-0.5</CI>\n"
         "    <DR>1</DR>\n"
         "    <DI>2</DI>\n"
         "    <N>4</N>\n"
         "    <M>2</M>\n"
         "  </Fractal>\n"
         "</UnitFractal>\n";
}

TEST(FractalDocumentFile, OlderDocumentLoadsAndSavesAsTheCurrentVersion) {
  for (const char* z : {"0", "0.5", "not even a number"}) {
    const std::string version = z[0] == '0' ? "2.0" : "1.0";
    SCOPED_TRACE(version + " " + z);
    TFractalContent read;
    std::string message;
    ASSERT_TRUE(LoadFractalDocumentBytes(read, OlderDocument(z, version), message)) << message;
    EXPECT_EQ(read.Fractal.CycleSelection, CycleLowest);
    EXPECT_EQ(read.Fractal.XResolution.GetValue(), 200);
    EXPECT_EQ(read.Fractal.Formula, 1);
    EXPECT_EQ(read.Fractal.MapVar, MapC);
    EXPECT_EQ(read.Fractal.CR.GetValue(), 0.25);
    EXPECT_EQ(read.Fractal.M.GetValue(), 2);
    EXPECT_EQ(read.View.SensOutside, ESensitivity::SensNormal);
    EXPECT_TRUE(read.View.UsePalOutside);
    EXPECT_EQ(read.View.PalOutside.GetColor(0.5), 0x00FF00u);
    EXPECT_EQ(read.View.MaxDepthColor.GetValue(), 0x102030u);
    EXPECT_TRUE(read.View.AdaptStrengthOutside);
    EXPECT_EQ(read.View.ValuesPerPixel.GetValue(), 1);

    const std::string saved = DocumentText(read);
    EXPECT_TRUE(Contains(saved, "  <Version>2.1</Version>\n"));
    EXPECT_TRUE(Contains(saved, "    <CycleLowest />\n    <Formula>z^^3+c</Formula>\n"));
    EXPECT_FALSE(Contains(saved, "<View"));
    EXPECT_FALSE(Contains(saved, "<ZR>"));
    EXPECT_FALSE(Contains(saved, "<ZI>"));
    TFractalContent again;
    ASSERT_TRUE(LoadFractalDocumentBytes(again, saved, message)) << message;
    EXPECT_EQ(again.Fractal, read.Fractal);
  }
}

// Values that 15 significant digits cannot hold are saved with as many more as they need, so
// the document reads back to the same numbers (and renders the same picture) and saves the same
// text again; OuterCircle 1.000000000000001 was saved as "1" and then refused.
TEST(FractalDocumentFile, ValuesNeedingMoreDigitsReadBackExactly) {
  TFractalContent written;
  TFractProps& fractal = written.Fractal;
  fractal.OuterCircle = unitFactorPosMore1(1.000000000000001);
  fractal.Left = unitFactor(-0.7436438870371587);
  fractal.Right = unitFactor(-0.7436438870371587 + 2.5e-14);
  fractal.Top = unitFactor(0.13182590420531198);
  fractal.Bottom = unitFactor(0.13182590420531198 - 2.5e-14);
  fractal.CR = unitFactor(0.1 + 0.2);
  written.View.StrengthInside = unitFactorPosMore(0.1 + 0.2, EUnitKind::EHPerc);
  TempFolder folder;
  ScriptedInteraction ui;
  ASSERT_TRUE(SaveFractalDocument(written, folder.File("deep.kvf"), ui));
  const std::string text = FileBytes(folder.File("deep.kvf"));
  for (const char* line : {"<OuterCircle>1.000000000000001</OuterCircle>",
                           "<Left>-0.7436438870371587</Left>", "<Right>-0.7436438870371337</Right>",
                           "<CR>0.30000000000000004</CR>", "<CI>-0.744862</CI>",
                           "<Strength>30.000000000000004 %</Strength>"}) {
    EXPECT_TRUE(Contains(text, line)) << line;
  }
  TFractalContent read;
  std::string message;
  ASSERT_TRUE(LoadFractalDocument(read, folder.File("deep.kvf"), message)) << message;
  EXPECT_EQ(read.Fractal, written.Fractal);
  EXPECT_EQ(read.Fractal.Right.GetValue(), fractal.Right.GetValue());
  EXPECT_EQ(read.Fractal.Bottom.GetValue(), fractal.Bottom.GetValue());
  EXPECT_EQ(read.View.StrengthInside.GetValue(), 0.1 + 0.2);
  EXPECT_EQ(DocumentText(read), text);
}

struct BadDocument {
  const char* from;
  const char* to;
  const char* message;
};

// Test names: the replaced and the replacing text.
void PrintTo(const BadDocument& c, std::ostream* os) {
  *os << ShownText(c.from) << " replaced by " << ShownText(c.to);
}

class FractalDocumentBadContent : public ::testing::TestWithParam<BadDocument> {};

// Content errors name the element where reading stopped; the column printed is one past the
// column the element records (the end of its begin tag).
TEST_P(FractalDocumentBadContent, FailsWithTheReadersMessageAndPosition) {
  const std::string text = Replaced(DocumentText(TFractalContent()), GetParam().from, GetParam().to);
  TFractalContent content;
  std::string message;
  EXPECT_FALSE(LoadFractalDocumentBytes(content, text, message));
  EXPECT_EQ(message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FractalDocumentBadContent,
    ::testing::Values(
        BadDocument{"z^^2+c", "z^^2 + c", "Unknown Formula: 'z^2 + c' At line 133, column 14."},
        BadDocument{"<InnerDist>0.0001", "<InnerDist>1",
                    "In InnerDist: Value must be less than 1. At line 130, column 16."},
        BadDocument{"<ValuesPerPixel>1", "<ValuesPerPixel>0",
                    "In ValuesPerPixel: Value must be positive and more than 0. At line 103, "
                    "column 21."},
        BadDocument{"<DepthModulo>1", "<DepthModulo>-2",
                    "In DepthModulo: Value must be positive and more than 0. At line 117, "
                    "column 20."},
        BadDocument{"<M>3</M>", "<M>3 apples</M>",
                    "In M: Invalid value: \"3 apples\". At line 140, column 8."},
        // Grammar and lexical errors come from the XML reader and carry their own position.
        BadDocument{"    <M>3</M>\n", "",
                    "unexpected end of element \"Fractal\", expect begin of element \"M\". at line "
                    "140, column 12."},
        BadDocument{"<MapZ />", "<MapQ />",
                    "Try choices( first choice: unexpected empty element \"MapQ\", expect begin of "
                    "element \"MapC\", at line 134, column 12., Second choice: Try choices( first "
                    "choice: unexpected empty element \"MapQ\", expect begin of element \"MapD\", at "
                    "line 134, column 12., Second choice: unexpected empty element \"MapQ\", expect "
                    "begin of element \"MapZ\", at line 134, column 12.))"},
        BadDocument{"<N>5</N>", "<N>5</N/>", "unexpected '/' found in line 139, column 11."}));

TEST(FractalDocumentFile, FailedLoadLeavesTheContentUnchanged) {
  const TFractalContent original = UnusualContent();
  TFractalContent content = original;
  const std::string before = DocumentText(content);
  // Everything but the last element of the file is valid, so the view, the bitmap properties and
  // most of the fractal have been read when reading fails.
  std::string text = Replaced(DocumentText(TFractalContent()), "<M>3</M>", "<M>0</M>");
  std::string message;
  EXPECT_FALSE(LoadFractalDocumentBytes(content, text, message));
  EXPECT_EQ(DocumentText(content), before);
  EXPECT_EQ(content.Fractal, original.Fractal);
  EXPECT_EQ(content.Bitmaps, original.Bitmaps);
}

TEST(FractalDocumentFile, MissingFileCannotBeOpened) {
  TempFolder folder;
  TFractalContent content;
  std::string message;
  EXPECT_FALSE(LoadFractalDocument(content, folder.File("none.kvf"), message));
  EXPECT_EQ(message, "cannot open file.");
  EXPECT_FALSE(LoadFractalDocument(content, folder.File(""), message));
  EXPECT_EQ(message, "cannot open file.");
}

// "In unitfract line N: Condition "condition"failed!" with any N.
void ExpectCheckBox(const ScriptedInteraction::Shown& box, const std::string& condition) {
  EXPECT_EQ(box.kind, "message");
  EXPECT_EQ(box.title, "Assertion failed");
  EXPECT_EQ(box.text.rfind("In unitfract line ", 0), 0u) << box.text;
  const std::string tail = ": Condition \"" + condition + "\"failed!";
  ASSERT_GE(box.text.size(), tail.size()) << box.text;
  EXPECT_EQ(box.text.substr(box.text.size() - tail.size()), tail);
}

// Files that are no readable document get a user message, never the consistency-check box, and
// whatever the file holds is quoted with its control bytes escaped; read from memory or from a
// file, the message is the same.
TEST(FractalDocumentFile, UnreadableDocumentsGiveUserMessagesWithEscapedText) {
  const std::string document = DocumentText(TFractalContent());
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;
  };
  const Case cases[] = {
      {"EmptyFile", "", "file is empty."},
      {"BlankFile", "\n \r\n\t\n", "file is empty."},
      {"NoVersion", Replaced(document, "  <Version>2.1</Version>\n", ""),
       "The document has no version."},
      {"LaterVersion", Replaced(document, "<Version>2.1<", "<Version>3.0<"),
       "Unknown version \"3.0\"."},
      {"ControlBytesInVersion",
       Replaced(document, "<Version>2.1<", "<Version>2\x01\0.1<"s),
       "Unknown version \"2\\x01\\0.1\"."},
      {"ControlBytesInFormula", Replaced(document, "z^^2+c", "z\x7f\0+c"s),
       "Unknown Formula: 'z\\x7F\\0+c' At line 133, column 14."},
      {"NulInValue", Replaced(document, "<M>3</M>", "<M>3\0 apples</M>"s),
       "In M: Invalid value: \"3\\0 apples\". At line 140, column 8."},
      {"NulInTag", Replaced(document, "<N>5</N>", "<N\0>5</N>"s),
       "unexpected '\\0' found in line 139, column 6."},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CheckBoxes checks;
    TFractalContent content = UnusualContent();
    const std::string before = DocumentText(content);
    std::string message;
    EXPECT_FALSE(LoadFractalDocumentBytes(content, c.bytes, message));
    EXPECT_EQ(message, c.message);
    const std::string file = folder.File(std::string(c.name) + ".kvf");
    { std::ofstream(file, std::ios::binary) << c.bytes; }
    EXPECT_FALSE(LoadFractalDocument(content, file, message));
    EXPECT_EQ(message, c.message);
    EXPECT_TRUE(checks.ui.shown.empty()) << checks.ui.shown.front().text;
    EXPECT_EQ(DocumentText(content), before);
  }
}

TEST(FractalDocumentFile, VersionElementMustAgreeWithTheSniffedVersion) {
  CheckBoxes checks;
  // The last Version element followed by text gives the sniffed version; one after the document
  // element makes the older grammar apply to a document whose own Version says "2.1".
  std::string text = Replaced(OlderDocument("0"), "<Version>2.0<", "<Version>2.1<");
  text += "<Version>2.0</Version>\n";
  TFractalContent content;
  std::string message;
  EXPECT_FALSE(LoadFractalDocumentBytes(content, text, message));
  EXPECT_EQ(message, "The document's version \"2.1\" is not \"2.0\".");
  ASSERT_EQ(checks.ui.shown.size(), 1u);
  ExpectCheckBox(checks.ui.shown[0], "version == parVersion");
  EXPECT_EQ(content.Fractal, TFractProps());
}

TEST(FractalDocumentFile, SaveIntoAMissingFolderShowsTheFileError) {
  TempFolder folder;
  ScriptedInteraction ui;
  EXPECT_FALSE(SaveFractalDocument(TFractalContent(), folder.File("missing/a.kvf"), ui));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].kind, "message");
  EXPECT_EQ(ui.shown[0].title, "FileError");
  EXPECT_EQ(ui.shown[0].icon, Interaction::Icon::Information);
  // The message names the file and ends with one full stop.
  EXPECT_EQ(ui.shown[0].text, "Cannot save Fractal File \"" + folder.File("missing/a.kvf") +
                                  "\": Operating System cannot open file for writing, maybe the "
                                  "file is readonly.");
}

TEST(FractalDocumentFile, FailedSaveOverAnExistingFileKeepsIt) {
  TempFolder folder;
  ScriptedInteraction ui;
  // A read-only file is refused (for every user), so the save fails with the old file there.
  const std::string file = folder.File("kept.kvf");
  { std::ofstream(file) << "old document"; }
  std::filesystem::permissions(file, std::filesystem::perms::owner_read);
  EXPECT_FALSE(SaveFractalDocument(UnusualContent(), file, ui));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].title, "FileError");
  EXPECT_EQ(FileBytes(file), "old document");
}

}  // namespace
