#pragma once

#include <string>

#include "app/TFractComputation.h"
#include "app/TFractalContent.h"
#include "app/TUnit.h"

class Interaction;

// A fractal document: its content (view, bitmap and fractal properties), its computation and
// its saved state. New documents need saving because they are new; a document with a file needs
// saving when it has changed.
class TUnitFract : public TUnit {
 public:
  static constexpr std::uint8_t kKind = 1;

  TUnitFract(std::string name, std::string file) : TUnit(kKind, std::move(name), std::move(file)) {}
  ~TUnitFract() override { Computation.Stop(); }

  bool CanSaveFract() const { return true; }
  bool NeedsSave() const { return CanSaveFract() && (Changed || IsNew()); }
  void SetChanged() {
    if (TrackChanges) Changed = true;
  }
  void ClearChanged() {
    if (TrackChanges) Changed = false;
  }

  // The question of the close query: "Do you want to save the Fractal with name \"N\" to a new
  // file?" and its variants.
  std::string SaveQuestion() const;
  // The document's status bar entry: "New", "Changed" or "".
  std::string StatusText() const;

  // Reads File into the content; on failure the content is unchanged and error holds the
  // message (content errors end with their position).
  bool LoadDocument(std::string& error);
  // Writes the document to file; on failure shows the "FileError" box and returns false.
  bool SaveDocument(const std::string& file, Interaction& ui) const;
  // SaveDocument when the document needs saving, else true.
  bool SaveIfNeeded(const std::string& file, Interaction& ui) const;
  // Exports the picture of the current computation (see ExportPicture).
  bool ExportPicture(const std::string& fileName, Interaction& ui, std::string& error) const;

  bool Changed = false;
  TFractalContent Content;
  // Declared after Content: it refers to Content while it runs and is stopped first.
  TFractComputation Computation;
};
