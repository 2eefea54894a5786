#include "palette/ColorPalette1DFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "CheckRecorder.h"
#include "palette/TColorPalette1D.h"

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr char kHead[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
    "<!DOCTYPE UnitColorPalette1D_v3_0 SYSTEM \"UnitColorPalette1D_v3_0.dtd\">\n\n";

// A cyclic palette: black (100 %) at 0, green (75 %) at 25 % with blue after it, red (50 %) at 1.
constexpr char kCyclicBody[] = R"(<UnitColorPalette1D>
  <Version>2.0</Version>
  <ColorPalette1D>
    <Cyclic />
    <SuperColorItemBefore>
      <SuperColorItem>
        <Color>000000</Color>
        <TransFactor>100 %</TransFactor>
        <SuperFactor>1</SuperFactor>
        <SuperAnchorColor>000000</SuperAnchorColor>
      </SuperColorItem>
    </SuperColorItemBefore>
    <ColorPalette1DItem>
      <Position>25 %</Position>
      <SuperColorItemBefore>
        <SuperColorItem>
          <Color>00FF00</Color>
          <TransFactor>75 %</TransFactor>
          <SuperFactor>1</SuperFactor>
          <SuperAnchorColor>000000</SuperAnchorColor>
        </SuperColorItem>
      </SuperColorItemBefore>
      <UseColorAfter />
      <SuperColorItemAfter>
        <SuperColorItem>
          <Color>FF0000</Color>
          <TransFactor>100 %</TransFactor>
          <SuperFactor>1</SuperFactor>
          <SuperAnchorColor>000000</SuperAnchorColor>
        </SuperColorItem>
      </SuperColorItemAfter>
    </ColorPalette1DItem>
    <SuperColorItemAfter>
      <SuperColorItem>
        <Color>0000FF</Color>
        <TransFactor>50 %</TransFactor>
        <SuperFactor>1</SuperFactor>
        <SuperAnchorColor>000000</SuperAnchorColor>
      </SuperColorItem>
    </SuperColorItemAfter>
  </ColorPalette1D>
</UnitColorPalette1D>
)";

// The same colours in the older form (version 1.0), not cyclic.
constexpr char kOlderBody[] = R"(<UnitColorPalette1D>
  <Version>1.0</Version>
  <ColorPalette1D>
    <BeginColor>000000</BeginColor>
    <ColorPalette1DItem>
      <Position>25 %</Position>
      <ColorBefore>00ff00</ColorBefore>
      <UseColorAfter />
      <ColorAfter>FF0000</ColorAfter>
    </ColorPalette1DItem>
    <ColorPalette1DItem>
      <Position>0.5</Position>
      <ColorBefore>FFFFFF</ColorBefore>
      <ColorAfter>123456</ColorAfter>
    </ColorPalette1DItem>
    <EndColor>0000FF</EndColor>
  </ColorPalette1D>
</UnitColorPalette1D>
)";

std::string File(const std::string& body) { return kHead + body; }

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TColorPalette1D CyclicPalette() {
  TColorPalette1D palette(true, 0x000000, 1.0, 0x0000FF, 0.5);
  TColorPalette1DItem* item = palette.AddItem(0.25, 0x00FF00, 0.75);
  item->SetUseColorAfter(true);
  item->SetColorAfter(0xFF0000);
  return palette;
}

void ExpectSameSide(const TColorPalette1DSide& a, const TColorPalette1DSide& b) {
  EXPECT_EQ(a.Color, b.Color);
  EXPECT_EQ(a.TransFactor.GetValue(), b.TransFactor.GetValue());
  EXPECT_EQ(a.TransFactor.GetUnit(), b.TransFactor.GetUnit());
  EXPECT_EQ(a.SuperFactor.GetValue(), b.SuperFactor.GetValue());
  EXPECT_EQ(a.SuperFactor.GetUnit(), b.SuperFactor.GetUnit());
  EXPECT_EQ(a.SuperAnchorColor, b.SuperAnchorColor);
}

// Every field of every item, and the Cyclic flag.
void ExpectSamePalette(const TColorPalette1D& a, const TColorPalette1D& b) {
  EXPECT_EQ(a.GetCyclic(), b.GetCyclic());
  const TColorPalette1DItem* x = a.GetFirst();
  const TColorPalette1DItem* y = b.GetFirst();
  for (int index = 0; x && y; ++index, x = x->GetNext(), y = y->GetNext()) {
    SCOPED_TRACE("item " + std::to_string(index));
    EXPECT_EQ(x->GetDPosition(), y->GetDPosition());
    EXPECT_EQ(x->GetPosition().GetUnit(), y->GetPosition().GetUnit());
    EXPECT_EQ(x->GetUseColorAfter(), y->GetUseColorAfter());
    ExpectSameSide(x->GetBeforeSide(), y->GetBeforeSide());
    ExpectSameSide(x->GetStoredAfterSide(), y->GetStoredAfterSide());
  }
  EXPECT_TRUE(x == nullptr && y == nullptr) << "different item counts";
}

TColorPalette1DSide Side(std::uint32_t color, double trans, EUnitKind unit, double super,
                         std::uint32_t anchor) {
  TColorPalette1DSide side;
  side.Color = color;
  side.TransFactor = unitFactorPosMax1(trans, unit);
  side.SuperFactor = unitFactor(super);
  side.SuperAnchorColor = anchor;
  return side;
}

class TempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("korvana-palette-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST(ColorPalette1DFileWrite, WritesTheCurrentFormAsTheFileText) {
  EXPECT_EQ(PaletteFileText(CyclicPalette()), File(kCyclicBody));
}

using ColorPalette1DFileRoundTrip = TempFolder;

TEST_F(ColorPalette1DFileRoundTrip, KeepsEveryStoredValueAndTheReceiversFirstAfterSide) {
  TColorPalette1D saved(false, 0x102030, 0.9, -1.5, 0x0A0B0C, 0xFFEEDD, 0.0, 2.0, 0x010203);
  TColorPalette1DItem* plain = saved.AddItem(0.2, 0x445566, 0.3);
  plain->SetTransFactorBefore(unitFactorPosMax1(0.3));  // no unit: written as 0.3
  // After values of an item without UseColorAfter are stored all the same.
  plain->SetStoredAfterSide(Side(0x778899, 0.4, EUnitKind::EHPerc, 7.25, 0xABCDEF));
  TColorPalette1DItem* jump = saved.AddItem(0.6, 0x111111, 0.125);
  jump->SetUseColorAfter(true);
  jump->SetStoredAfterSide(Side(0x222222, 0.0625, EUnitKind::EHNone, 0.001, 0x333333));
  jump->SetSuperFactorBefore(unitFactor(1e-7));

  // The receiver is cyclic, has more items and a first item with its own after side.
  TColorPalette1D loaded(true, 0xFFFFFF, 1.0, 0xFFFFFF, 1.0);
  loaded.AddItem(0.1, 0, 1.0);
  loaded.AddItem(0.7, 0, 1.0);
  loaded.GetFirst()->SetUseColorAfter(true);
  loaded.GetFirst()->SetStoredAfterSide(Side(0x999999, 0.5, EUnitKind::EHPerc, 4.0, 0x888888));
  const TColorPalette1DSide receiverAfter = loaded.GetFirst()->GetStoredAfterSide();
  saved.GetLast()->SetUseColorAfter(true);  // the last item's after side is not stored

  CheckRecorder checks;
  const std::string file = (dir / "p.cp1").string();
  ASSERT_TRUE(SavePaletteFile(saved, file, checks.ui));
  std::string error = "stale";
  ASSERT_TRUE(LoadPaletteFile(loaded, file, error)) << error;
  EXPECT_EQ(error, "");
  EXPECT_THAT(checks.Conditions(), IsEmpty());

  EXPECT_FALSE(loaded.GetCyclic());
  EXPECT_FALSE(loaded.GetSuperColorsEnabled());  // never stored, never changed by reading
  EXPECT_TRUE(loaded.GetFirst()->GetUseColorAfter());
  ExpectSameSide(loaded.GetFirst()->GetStoredAfterSide(), receiverAfter);
  EXPECT_FALSE(loaded.GetLast()->GetUseColorAfter());
  ExpectSameSide(loaded.GetLast()->GetStoredAfterSide(), TColorPalette1DSide{});

  // Everything else matches field by field.
  loaded.GetFirst()->SetUseColorAfter(false);
  loaded.GetFirst()->SetStoredAfterSide(TColorPalette1DSide{});
  saved.GetLast()->SetUseColorAfter(false);
  ExpectSamePalette(loaded, saved);
  EXPECT_EQ(PaletteFileText(loaded), PaletteFileText(saved));
}

TEST(ColorPalette1DFileRead, CurrentVersionsReadAlikeAndTransFactorIsOptional) {
  const TColorPalette1D expected = CyclicPalette();
  for (const char* version : {"2.0", "3.0"}) {
    SCOPED_TRACE(version);
    TColorPalette1D palette(false, 0xFFFFFF, 1.0, 0xFFFFFF, 1.0);
    std::string error;
    const std::string text = Replaced(File(kCyclicBody), "2.0", version);
    ASSERT_TRUE(LoadPaletteBytes(palette, text, error)) << error;
    ExpectSamePalette(palette, expected);
  }

  std::string text = File(kCyclicBody);
  for (const char* trans : {"        <TransFactor>100 %</TransFactor>\n",
                            "          <TransFactor>75 %</TransFactor>\n",
                            "        <TransFactor>50 %</TransFactor>\n"}) {
    text = Replaced(text, trans, "");
  }
  TColorPalette1D palette(false, 0xFFFFFF, 0.5, 0xFFFFFF, 0.5);
  std::string error;
  ASSERT_TRUE(LoadPaletteBytes(palette, text, error)) << error;
  for (double x : {0.0, 0.1, 0.25, 0.6, 0.999}) EXPECT_EQ(palette.GetTransFactor(x), 1.0) << x;
  EXPECT_EQ(palette.GetFirst()->GetTransFactorBefore().GetUnit(), EUnitKind::EHPerc);
}

TEST(ColorPalette1DFileRead, OlderFormGetsNeutralFactorsAndBlackAnchors) {
  TColorPalette1D palette(true, 0xFFFFFF, 0.5, 3.0, 0x777777, 0xFFFFFF, 0.5, 3.0, 0x777777);
  std::string error;
  ASSERT_TRUE(LoadPaletteBytes(palette, File(kOlderBody), error)) << error;
  EXPECT_FALSE(palette.GetCyclic());
  EXPECT_TRUE(palette.GetSuperColorsEnabled());

  const TColorPalette1DItem* first = palette.GetFirst();
  const TColorPalette1DItem* a = first->GetNext();
  const TColorPalette1DItem* b = a->GetNext();
  const TColorPalette1DItem* last = b->GetNext();
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->GetNext(), nullptr);
  // The first item keeps everything but its colour.
  EXPECT_EQ(first->GetColorBefore(), 0x000000u);
  EXPECT_EQ(first->GetTransFactorBefore().GetValue(), 0.5);
  EXPECT_EQ(first->GetSuperFactorBefore().GetValue(), 3.0);

  EXPECT_EQ(a->GetDPosition(), 0.25);
  EXPECT_EQ(a->GetPosition().GetUnit(), EUnitKind::EHPerc);
  EXPECT_EQ(a->GetColorBefore(), 0x00FF00u);
  EXPECT_TRUE(a->GetUseColorAfter());
  EXPECT_EQ(a->GetColorAfter(), 0xFF0000u);
  EXPECT_EQ(b->GetDPosition(), 0.5);
  EXPECT_EQ(b->GetPosition().GetUnit(), EUnitKind::EHNone);
  EXPECT_FALSE(b->GetUseColorAfter());
  EXPECT_EQ(b->GetStoredAfterSide().Color, 0x123456u);
  EXPECT_EQ(last->GetDPosition(), 1.0);
  EXPECT_EQ(last->GetColorBefore(), 0x0000FFu);
  for (const TColorPalette1DItem* item : {a, b, last}) {
    for (const TColorPalette1DSide* side : {&item->GetBeforeSide(), &item->GetStoredAfterSide()}) {
      EXPECT_EQ(side->TransFactor.GetValue(), 1.0);
      EXPECT_EQ(side->SuperFactor.GetValue(), 1.0);
      EXPECT_EQ(side->SuperAnchorColor, 0u);
    }
  }
}

TEST(ColorPalette1DFileRead, UnknownVersionIsReportedAndReadAsCurrentForm) {
  CheckRecorder checks;
  TColorPalette1D palette(false, 0xFFFFFF, 1.0, 0xFFFFFF, 1.0);
  std::string error;
  EXPECT_TRUE(LoadPaletteBytes(palette, Replaced(File(kCyclicBody), "2.0", "4.0"), error));
  EXPECT_THAT(checks.Conditions(),
              ElementsAre(R"(version == "1.0" || version == "2.0" || version == "3.0")"));
  EXPECT_TRUE(palette.GetCyclic());
}

struct FailureCase {
  const char* name;
  std::string text;
  std::string message;
};

TEST(ColorPalette1DFileRead, FailuresGiveOneExactMessageAndKeepThePalette) {
  const std::string good = File(kCyclicBody);
  const FailureCase cases[] = {
      {"position 0", Replaced(good, "25 %", "0"),
       "In Position: Value must be positive and more than 0. At line 17, column 17."},
      {"position 1", Replaced(good, "25 %", "1"),
       "In Position: Value must be less than 1. At line 17, column 17."},
      {"colour", Replaced(good, "00FF00", "00FG00"),
       "In Color: Invalid Hexdecimal value: \"00FG00\". At line 20, column 18."},
      {"transparency", Replaced(good, "75 %", "150 %"),
       "In TransFactor: Value must be no more than 1. At line 21, column 24."},
      {"super factor unit", Replaced(good, "<SuperFactor>1</SuperFactor>",
                                     "<SuperFactor>1 km</SuperFactor>"),
       "In SuperFactor: Wrong unit used, use: '%' or no unit. At line 12, column 22."},
      {"anchor of the last item", Replaced(good, "</SuperFactor>\n        <SuperAnchorColor>000000",
                                           "</SuperFactor>\n        <SuperAnchorColor>x"),
       "In SuperAnchorColor: Invalid Hexdecimal value: \"x\". At line 13, column 27."},
      {"older form position", Replaced(File(kOlderBody), "0.5", "-0.5"),
       "In Position: Value must be positive and more than 0. At line 15, column 17."},
      {"grammar", Replaced(good, "        <SuperFactor>1</SuperFactor>\n", ""),
       "unexpected begin of element \"SuperAnchorColor\", expect begin of element "
       "\"SuperFactor\". at line 12, column 26."},
      {"older element in a current file", Replaced(good, "<Cyclic />", "<BeginColor>0</BeginColor>"),
       "unexpected begin of element \"BeginColor\", expect begin of element "
       "\"SuperColorItemBefore\", at line 7, column 16."},
      {"lexical", Replaced(good, "<Cyclic />", "<Cyclic a=\"1\"/>"),
       "unexpected 'a' found in line 7, column 13."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CheckRecorder checks;
    TColorPalette1D palette = CyclicPalette();
    palette.SetCyclic(false);
    const std::string before = PaletteFileText(palette);
    std::string error;
    EXPECT_FALSE(LoadPaletteBytes(palette, c.text, error));
    EXPECT_EQ(error, c.message);
    EXPECT_EQ(PaletteFileText(palette), before);
    EXPECT_THAT(checks.Conditions(), IsEmpty());
  }
}

using ColorPalette1DFileErrors = TempFolder;

TEST_F(ColorPalette1DFileErrors, MissingFileAndUnwritableTarget) {
  TColorPalette1D palette(false, 0, 1.0, 0xFF, 1.0);
  std::string error;
  EXPECT_FALSE(LoadPaletteFile(palette, (dir / "none.cp1").string(), error));
  EXPECT_EQ(error, "cannot open file.");

  CheckRecorder checks;
  EXPECT_FALSE(SavePaletteFile(palette, (dir / "no" / "such" / "p.cp1").string(), checks.ui));
  ASSERT_EQ(checks.ui.shown.size(), 1u);
  EXPECT_EQ(checks.ui.shown[0].title, "FileError");
  EXPECT_EQ(checks.ui.shown[0].icon, Interaction::Icon::Information);
  EXPECT_EQ(checks.ui.shown[0].text,
            "Cannot save Color Palette File: Operating System cannot open file for writing, "
            "maybe the file is readonly..");
}

TEST(ColorPalette1DFileRead, ItemsAtOnePositionAndUnsortedItemsLoadAndLookUpSoundly) {
  std::string item = R"(
    <ColorPalette1DItem>
      <Position>@P</Position>
      <SuperColorItemBefore><SuperColorItem><Color>@C</Color><SuperFactor>1</SuperFactor><SuperAnchorColor>0</SuperAnchorColor></SuperColorItem></SuperColorItemBefore>
      <SuperColorItemAfter><SuperColorItem><Color>@C</Color><SuperFactor>1</SuperFactor><SuperAnchorColor>0</SuperAnchorColor></SuperColorItem></SuperColorItemAfter>
    </ColorPalette1DItem>)";
  auto itemAt = [&](const std::string& position, const std::string& color) {
    return Replaced(Replaced(Replaced(item, "@P", position), "@C", color), "@C", color);
  };
  const std::string items = itemAt("50 %", "0000FF") + itemAt("50 %", "00FF00") +
                            itemAt("50 %", "FF0000") + itemAt("30 %", "FFFFFF");
  std::string body = kCyclicBody;
  const auto from = body.find("    <ColorPalette1DItem>");
  const auto to = body.find("    <SuperColorItemAfter>\n      <SuperColorItem>\n        <Color>0000FF");
  body.replace(from, to - from, items.substr(1) + "\n");

  CheckRecorder checks;
  TColorPalette1D palette(false, 0, 1.0, 0, 1.0);
  std::string error;
  ASSERT_TRUE(LoadPaletteBytes(palette, File(body), error)) << error;
  EXPECT_EQ(palette.GetPreviewColumns(0, 102).size(), 100u);
  for (double x = -0.5; x <= 1.5; x += 0.01) {
    double r = 0, g = 0, b = 0;
    palette.GetSuperColor(x, r, g, b);
    EXPECT_FALSE(std::isnan(r + g + b + palette.GetTransFactor(x))) << x;
  }
  // Items are kept in file order: the stretch ends at the first item of the group, and beyond
  // it the walk passes the group and the unsorted item at 30 % (white) up to the end (red).
  EXPECT_EQ(palette.GetColor(0.5), 0x0000FFu);
  EXPECT_EQ(palette.GetColor(0.65), 0x7F7FFFu);
  EXPECT_THAT(checks.Conditions(), IsEmpty());
}

TEST(ColorPalette1DFileRead, LongPalettesLoadAndGo) {
  std::string items;
  const int count = 20000;
  for (int i = 1; i <= count; ++i) {
    items += "<ColorPalette1DItem><Position>" + std::to_string(i) + "/" +
             std::to_string(count + 1) +
             "</Position><ColorBefore>FF</ColorBefore><ColorAfter>0</ColorAfter>"
             "</ColorPalette1DItem>\n";
  }
  std::string body = kOlderBody;
  const auto from = body.find("    <ColorPalette1DItem>");
  const auto to = body.find("    <EndColor>");
  body.replace(from, to - from, items);
  TColorPalette1D palette(false, 0, 1.0, 0, 1.0);
  std::string error;
  ASSERT_TRUE(LoadPaletteBytes(palette, File(body), error)) << error;
  EXPECT_EQ(palette.GetColor(0.999999), 0xFFu);
  TColorPalette1D copy(palette);
  EXPECT_EQ(copy.GetLast()->GetDPosition(), 1.0);
}

}  // namespace
