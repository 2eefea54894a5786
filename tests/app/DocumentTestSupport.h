#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "ScriptedInteraction.h"
#include "TestFiles.h"
#include "app/FractalDocumentFile.h"
#include "app/TFractalContent.h"
#include "common/Assert.h"
#include "common/SafeFile.h"
#include "files/XMLItem.h"

// A fresh folder for one test, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "korvana-docs-" + std::to_string(::getpid()) + "-" +
                       test->test_suite_name() + "-" + test->name();
    for (char& c : name) {
      if (c == '/') c = '_';  // parameterised tests have '/' in their names
    }
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The full name of a file in the folder.
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};


// The bytes a content is saved as.
inline std::string DocumentText(const TFractalContent& content) {
  return BuildFractalDocument(content)->WriteXMLString();
}

// Installs a scripted interaction for the non-fatal checks while it lives.
class CheckBoxes {
 public:
  CheckBoxes() { korvana::SetCheckInteraction(&ui); }
  ~CheckBoxes() { korvana::SetCheckInteraction(nullptr); }
  CheckBoxes(const CheckBoxes&) = delete;
  CheckBoxes& operator=(const CheckBoxes&) = delete;

  ScriptedInteraction ui;
};

// Content with a field away from its default in every part: view (units and a palette item),
// bitmap properties with a named picture and a use, and the fractal.
inline TFractalContent UnusualContent() {
  TFractalContent content;
  TFractViewProps& view = content.View;
  view.SensOutside = ESensitivity::SensCustom;
  view.SensExponentOutside = unitFactorPosMore(1.25);
  view.StrengthInside = unitFactorPosMore(0.5, EUnitKind::EHPerc);
  view.AdaptStrengthInside = false;
  view.UsePalOutside = true;
  view.PalOutside.AddItem(0.25, 0x00FF00, 0.5);
  view.MaxDepthTransFactor = unitFactorPosMax1(0.5, EUnitKind::EHPerc);
  view.BackgroundColor = unitColor(0x203040);
  view.ValuesPerPixel = unitIntegerPosMore(2);
  view.UpdateResolution = false;

  BitmapsProps& bitmaps = content.Bitmaps;
  bitmaps.Files.front().Name = "Stones";
  bitmaps.Files.front().BmpFile = "pictures/stones.tif";
  BitmapUseProps& use = bitmaps.Uses.front();
  use.BitmapName = "Stones";
  use.Left = unitFactor(-0.75);
  use.BmpReciproke = true;
  use.BmpTransOptColor = true;
  use.BmpTransColor = unitColor(0xFFFFFF);
  use.BmpTransColorWidthNoTrans = unitFactorPos(0.25, EUnitKind::EHPerc);
  use.BasicTransFactor = unitFactorPosMax1(0.8);
  use.BmpPixelSel = EBmpPixelSel::BmpPixelSelHard;
  use.DepthModulo = unitIntegerPosMore(2);
  use.DepthMax = unitIntegerPos(40);
  BitmapUseProps second;
  second.Top = unitFactor(2.5);
  bitmaps.Uses.push_back(second);

  TFractProps& fractal = content.Fractal;
  fractal.XResolution = unitIntegerPosMore(64);
  fractal.YResolution = unitIntegerPosMore(40);
  fractal.Left = unitFactor(-0.743643887037151);
  fractal.Top = unitFactor(0.131825904205330);
  fractal.MaxDepth = unitIntegerPosMore(500);
  fractal.InnerDist = unitFactorPosMoreLess1(0.05, EUnitKind::EHPerc);
  fractal.MaxCycle = unitIntegerPos(12);
  fractal.CycleSelection = CycleHighest;
  fractal.Formula = 7;
  fractal.MapVar = MapD;
  fractal.DR = unitFactor(0.5);
  fractal.N = unitIntegerPosMore(3);
  return content;
}
