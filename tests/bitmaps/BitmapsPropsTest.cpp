#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "BitmapTestSupport.h"
#include "ScriptedInteraction.h"
#include "bitmaps/BitmapsProps.h"
#include "common/Bitmap24.h"
#include "files/BmpFile.h"
#include "values/unitFactor.h"

namespace fs = std::filesystem;

namespace {

// A use with every field away from its default.
BitmapUseProps CustomUse() {
  BitmapUseProps use;
  use.BitmapName = "moon & <sun>";
  use.Left.SetValue(-2.5);
  use.Right.SetValue(0.125);
  use.Top.SetValue(3);
  use.Bottom.SetValue(-1e-7);
  use.BmpReciproke = true;
  use.BmpTransOptColor = true;
  use.BmpTransColor.SetValue(0x00FF8040);
  use.BmpTransColorWidthMaxTrans.SetValue(0.1);
  use.BmpTransColorWidthNoTrans.SetValue(0.75);
  use.BasicTransFactor.SetValue(0.25);
  use.BmpPixelSel = EBmpPixelSel::BmpPixelSelHard;
  use.DepthModulo.SetValue(3);
  use.DepthMin.SetValue(2);
  use.DepthMax.SetValue(40);
  return use;
}

BitmapsProps TwoPictures() {
  BitmapsProps props;
  props.Files.front().Name = "moon & <sun>";
  props.Files.front().BmpFile = "pictures/moon.tif";
  props.Files.emplace_back().BmpFile = "/abs/only-file.bmp";
  props.Uses.push_front(CustomUse());
  return props;
}

}  // namespace

TEST(BitmapsPropsXML, DefaultSetWritesOnlyWhatDiffersFromAbsentAndReadsBackEqual) {
  const BitmapsProps props;
  const std::string document = BitmapsDocument(props);
  EXPECT_NE(document.find("    <BitmapFileProps />\n    <BitmapUseProps>\n      <BmpRect>\n"
                          "        <Left>-1</Left>\n        <Right>1</Right>\n"
                          "        <Top>1</Top>\n        <Bottom>-1</Bottom>\n      </BmpRect>\n"
                          "      <BasicTransFactor>100 %</BasicTransFactor>\n"
                          "      <BmpPixelSelSmooth />\n      <DepthModulo>1</DepthModulo>\n"
                          "      <DepthMin>1</DepthMin>\n    </BitmapUseProps>\n"),
            std::string::npos)
      << document;
  for (const char* absent :
       {"BmpReciproke", "BmpTransOptColor", "DepthMax", "BitmapName", "BmpFile", "<Name>"}) {
    EXPECT_EQ(document.find(absent), std::string::npos) << absent;
  }
  BitmapsProps back = TwoPictures();
  const BitmapsReadResult result = ReadBitmapsDocument(document, back);
  ASSERT_TRUE(result.parsed && result.read) << result.message;
  EXPECT_TRUE(back.Equals(props));
}

TEST(BitmapsPropsXML, EveryFieldRoundTripsInOrder) {
  const BitmapsProps props = TwoPictures();
  const std::string document = BitmapsDocument(props);
  EXPECT_NE(document.find("<BmpTransOptColor>\n        <BmpTransColor>FF8040</BmpTransColor>\n"
                          "        <BmpTransColorWidthMaxTrans>10 %</BmpTransColorWidthMaxTrans>\n"
                          "        <BmpTransColorWidthNoTrans>75 %</BmpTransColorWidthNoTrans>\n"),
            std::string::npos)
      << document;
  EXPECT_NE(document.find("<BmpPixelSelHard />"), std::string::npos);
  EXPECT_NE(document.find("<DepthMax>40</DepthMax>"), std::string::npos);
  EXPECT_LT(document.find("only-file.bmp"), document.find("<BitmapUseProps>"));

  BitmapsProps back;
  const BitmapsReadResult result = ReadBitmapsDocument(document, back);
  ASSERT_TRUE(result.parsed && result.read) << result.message;
  EXPECT_TRUE(back.Equals(props));
  ASSERT_EQ(back.Uses.size(), 2u);
  EXPECT_EQ(back.Uses.front().GetResolved(), &back.Files.front()) << "resolved after reading";
  EXPECT_EQ(back.Uses.back().GetResolved(), &back.Files.back()) << "an empty name names too";
}

TEST(BitmapsPropsXML, GrammarRefusesWrongStructureAndReaderReportsBadValues) {
  BitmapsProps props;
  const std::string good = BitmapsDocument(TwoPictures());
  auto edited = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::vector<std::string> refused = {
      edited("<DepthMin>2</DepthMin>", "<DepthMax>2</DepthMax>"),
      edited("<BmpPixelSelHard />", ""),
      edited("<Left>-2.5</Left>", ""),
      edited("<BmpReciproke />", "<BmpReciproke>1</BmpReciproke>"),
      // A picture entry after the uses.
      edited("  </BitmapsProps>", "    <BitmapFileProps />\n  </BitmapsProps>"),
  };
  for (const std::string& document : refused) {
    EXPECT_FALSE(ReadBitmapsDocument(document, props).parsed) << document;
  }

  const std::string badFactor = edited("<BasicTransFactor>25 %", "<BasicTransFactor>2");
  const BitmapsReadResult result = ReadBitmapsDocument(badFactor, props);
  ASSERT_TRUE(result.parsed) << result.message;
  EXPECT_FALSE(result.read);
  std::string expected;
  unitFactorPosMax1 probe;
  ASSERT_FALSE(probe.Parse("2", "BasicTransFactor", expected));
  EXPECT_EQ(result.message, expected);
  EXPECT_GT(result.line, 10);
  // The fields before the bad value were read.
  EXPECT_EQ(props.Uses.front().Left.GetValue(), -2.5);
  EXPECT_TRUE(props.Uses.front().BmpTransOptColor);
}

TEST(BitmapsPropsTest, EqualityComparesEveryUseFieldAndPictureNamesAndFiles) {
  const BitmapsProps a = TwoPictures();
  EXPECT_TRUE(a.Equals(BitmapsProps(a)));
  std::vector<std::function<void(BitmapsProps&)>> changes = {
      [](BitmapsProps& p) { p.Uses.back().DepthMax.SetValue(5); },
      [](BitmapsProps& p) { p.Uses.front().BmpPixelSel = EBmpPixelSel::BmpPixelSelSmooth; },
      [](BitmapsProps& p) { p.Uses.front().BmpTransColor.SetValue(1); },
      [](BitmapsProps& p) { p.Uses.front().Bottom.SetValue(0); },
      [](BitmapsProps& p) { p.Uses.pop_back(); },
      [](BitmapsProps& p) { p.Files.back().BmpFile = "other.bmp"; },
      [](BitmapsProps& p) { p.Files.front().Name = "x"; },
      [](BitmapsProps& p) { p.Files.emplace_back(); },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    BitmapsProps b = a;
    changes[i](b);
    EXPECT_FALSE(a.Equals(b)) << "change " << i;
  }
}

TEST(BitmapsPropsTest, ResolvesUsesByNameAndIsActiveOnlyWithALoadedPicture) {
  BitmapsProps props = TwoPictures();
  props.Uses.front().BitmapName = "nowhere";
  props.ResolveUses();
  EXPECT_EQ(props.Uses.front().GetResolved(), nullptr);
  EXPECT_FALSE(props.IsActive());

  props.Uses.front().BitmapName = "moon & <sun>";
  props.ResolveUses();
  EXPECT_EQ(props.Uses.front().GetResolved(), &props.Files.front());
  EXPECT_FALSE(props.IsActive()) << "resolved, but nothing loaded";

  props.Files.front().SetPicture(MakePicture(1, 1, {0x123456}), PictureFormat::Bmp, false);
  EXPECT_TRUE(props.IsActive());

  props.Files.front().Deleted = true;
  props.ResolveUses();
  EXPECT_FALSE(props.IsActive()) << "entries marked deleted are not found";
}

TEST(BitmapsPropsTest, EditProtocolSharesCommitsAndFreesPlanes) {
  BitmapsProps props = TwoPictures();
  BitmapFileProps& moon = props.Files.front();
  moon.SetPicture(MakePicture(1, 1, {1}), PictureFormat::Bmp, false);
  std::weak_ptr<const std::vector<std::uint32_t>> first = moon.Old.BmpShadowRGB;

  props.BeginEdit();
  EXPECT_EQ(moon.New.BmpShadowRGB, moon.Old.BmpShadowRGB) << "the pending set shares planes";
  moon.SetPicture(MakePicture(2, 1, {2, 3}), PictureFormat::Bmp, true);
  std::weak_ptr<const std::vector<std::uint32_t>> second = moon.New.BmpShadowRGB;
  props.Rollback();
  EXPECT_TRUE(moon.New.IsEmpty());
  EXPECT_TRUE(second.expired()) << "a rolled-back picture is freed";
  EXPECT_EQ(moon.Old.BmpShadowRGB, first.lock());

  const BitmapsProps keptByCopy = props;  // a copy refers to the planes, never duplicates them
  props.BeginEdit();
  moon.SetPicture(MakePicture(2, 1, {2, 3}), PictureFormat::Bmp, true);
  EXPECT_EQ(keptByCopy.Files.front().Old.BmpShadowRGB, first.lock());
  props.Commit();
  EXPECT_EQ(moon.Old.Width, 2);
  EXPECT_TRUE(moon.New.IsEmpty());
  EXPECT_FALSE(first.expired()) << "the copy still refers to the old planes";

  props.BeginEdit();
  moon.Deleted = true;
  std::weak_ptr<const std::vector<std::uint32_t>> committed = moon.Old.BmpShadowRGB;
  props.Commit();
  EXPECT_EQ(props.Files.size(), 1u);
  EXPECT_TRUE(committed.expired()) << "a deleted entry's planes are freed at commit";
  EXPECT_EQ(props.Uses.front().GetResolved(), nullptr);
}

TEST(BitmapsPropsTest, CopiesLeaveOutDeletedEntriesAndNavigationSkipsThem) {
  BitmapsProps props;
  props.Files.front().Name = "A";
  props.Files.emplace_back().Name = "B";
  props.Files.emplace_back().Name = "C";
  std::next(props.Files.begin())->Deleted = true;

  EXPECT_EQ(props.FileNames(), (std::vector<std::string>{"A", "C"}));
  const auto a = props.FirstFile();
  const auto c = props.LastFile();
  EXPECT_EQ(a->Name, "A");
  EXPECT_EQ(c->Name, "C");
  EXPECT_EQ(props.NextFile(a), c);
  EXPECT_EQ(props.PrevFile(c), a);
  EXPECT_EQ(props.PrevFile(a), props.Files.end());
  EXPECT_EQ(props.NextFile(c), props.Files.end());
  EXPECT_EQ(props.FindFile("B"), nullptr);

  const BitmapsProps copy(props);
  EXPECT_EQ(copy.Files.size(), 2u);
}

TEST(BitmapsPropsTest, LoadPicturesShowsEachFailureAndGoesOn) {
  const fs::path dir = fs::temp_directory_path() / ("korvana-bitmaps-" + std::to_string(getpid()));
  fs::create_directories(dir / "pics");
  std::string error;
  ASSERT_TRUE(BmpFile::Write((dir / "pics" / "ok.bmp").string(), Bitmap24(4, 3), error));

  BitmapsProps props;
  props.Files.front().Name = "missing";
  props.Files.front().BmpFile = "pics/missing.bmp";
  props.Files.emplace_back().BmpFile = "pics/ok.bmp";
  props.Files.back().Name = "ok";
  props.Uses.front().BitmapName = "ok";
  ScriptedInteraction ui;
  props.LoadPictures((dir / "doc.kvf").string(), ui);

  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].title, "File Error");
  EXPECT_EQ(ui.shown[0].icon, Interaction::Icon::Error);
  EXPECT_EQ(ui.shown[0].text, "Cannot load picture filename \"" + (dir / "pics").string() +
                                  "/missing.bmp\". Cannot open File.");
  EXPECT_FALSE(props.Files.front().IsLoaded());
  EXPECT_EQ(props.Files.back().Old.Width, 4);
  EXPECT_EQ(props.Files.back().BmpFile, "pics/ok.bmp") << "kept as entered";
  EXPECT_TRUE(props.IsActive());
  fs::remove_all(dir);
}

TEST(BitmapsPropsDeathTest, LoadingIntoAFilledCurrentSetIsAnInternalError) {
  BitmapFileProps file;
  file.SetPicture(MakePicture(1, 1, {1}), PictureFormat::Bmp, false);
  EXPECT_DEATH(file.SetPicture(MakePicture(1, 1, {1}), PictureFormat::Bmp, false),
               "Old.BmpShadowRGB == nullptr");
}
