#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "../palette/TextMutator.h"
#include "DocumentTestSupport.h"
#include "app/TFractComputation.h"
#include "files/XMLText.h"

namespace {

// Valid documents to damage: a new one, one with every part away from its defaults, and a deep
// zoom whose numbers need all 17 digits.
std::vector<std::string> SeedDocuments() {
  TFractalContent deep;
  deep.Fractal.Left = unitFactor(-0.7436438870371587);
  deep.Fractal.Right = unitFactor(-0.7436438870371587 + 2.5e-14);
  deep.Fractal.Top = unitFactor(0.13182590420531198);
  deep.Fractal.Bottom = unitFactor(0.13182590420531198 - 2.5e-14);
  deep.Fractal.OuterCircle = unitFactorPosMore1(1.000000000000001);
  deep.View.StrengthOutside = unitFactorPosMore(0.1 + 0.2, EUnitKind::EHPerc);
  return {DocumentText(TFractalContent()), DocumentText(UnusualContent()), DocumentText(deep)};
}

// Keeps the computation of a loaded document small, whatever sizes the damage produced.
void ClampForSpeed(TFractalContent& content) {
  TFractProps& fractal = content.Fractal;
  fractal.XResolution.SetValue(std::min(fractal.XResolution.GetValue(), 16));
  fractal.YResolution.SetValue(std::min(fractal.YResolution.GetValue(), 16));
  fractal.MaxDepth.SetValue(std::min(fractal.MaxDepth.GetValue(), 40));
  fractal.MaxCycle.SetValue(std::min(fractal.MaxCycle.GetValue(), 6));
  content.View.ValuesPerPixel.SetValue(std::min(content.View.ValuesPerPixel.GetValue(), 2));
}

// Computes and paints the document on two workers; a refusal must come with a message.
void Render(TFractalContent& content) {
  TFractComputation computation;
  std::string error;
  if (!computation.Restart(content, 2, {}, error)) {
    EXPECT_FALSE(error.empty());
    return;
  }
  computation.NewBitmap();
  computation.Wait();
  EXPECT_FALSE(computation.IsRunning());
}

// Damaged documents (flipped, inserted and deleted bytes, cut files, swapped and repeated lines,
// absurd values) go through loading, a small render, saving and loading again. Nothing may
// crash, hang or leak (the sanitizer build runs this too); a refused file gives one message
// without raw control bytes; a loaded one saves into a file that loads to the same document.
TEST(DocumentFuzz, DamagedDocumentsLoadRenderSaveAndReloadSafely) {
  const std::vector<std::string> seeds = SeedDocuments();
  TextMutator mutator(20240917);
  TempFolder folder;
  CheckBoxes checks;  // consistency checks of odd files are recorded, not printed
  ScriptedInteraction ui;
  const std::string file = folder.File("fuzz.kvf");
  int loaded = 0;
  int refused = 0;
  for (int i = 0; i < 500; ++i) {
    const std::string text = mutator.Mutate(seeds[static_cast<std::size_t>(i) % seeds.size()]);
    SCOPED_TRACE("case " + std::to_string(i) + ":\n" + ShownText(text));
    TFractalContent content;
    std::string message;
    if (!LoadFractalDocumentBytes(content, text, message)) {
      ++refused;
      EXPECT_FALSE(message.empty());
      ASSERT_EQ(message, ShownText(message));
      continue;
    }
    ++loaded;
    ClampForSpeed(content);
    Render(content);
    ASSERT_TRUE(SaveFractalDocument(content, file, ui));
    TFractalContent again;
    ASSERT_TRUE(LoadFractalDocument(again, file, message)) << message;
    EXPECT_EQ(again.Fractal, content.Fractal);
    ASSERT_EQ(DocumentText(again), FileBytes(file));
  }
  RecordProperty("loaded", loaded);
  RecordProperty("refused", refused);
  // The damage must exercise both paths, or the test proves little.
  EXPECT_GE(loaded, 30);
  EXPECT_GE(refused, 100);
  EXPECT_TRUE(ui.shown.empty());
}

}  // namespace
