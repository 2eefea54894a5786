#pragma once

#include <string>

#include "common/Interaction.h"

class BusyIndicator;
class TFractProps;
class TUnitFract;

// The document commands of the fractal windows without widgets: file dialogs, Save, Save As, the
// close query, Revert, export and the command line. The window layer supplies the wait cursor and
// restarts computations; everything shown goes through the interaction interface.

Interaction::FileDialog OpenFractalDialog();
Interaction::FileDialog SaveFractalDialog();
Interaction::FileDialog ExportBitmapDialog();

// "NONAME" + counter.
std::string NoNameName(int counter);

// Save: a new document goes through Save As; otherwise it is written when it needs saving.
// True when the document ends up saved.
bool SaveFract(TUnitFract& document, Interaction& ui, BusyIndicator& busy);
// Save As: asks for a file and always writes it. True only when the document was written; a
// cancelled dialog or a failed write (its message has been shown) leave the document as it was.
bool SaveFractAs(TUnitFract& document, Interaction& ui, BusyIndicator& busy);

// The close query: true when the window may close (nothing to save, No, or Yes and saved).
bool QueryCloseFract(TUnitFract& document, Interaction& ui, BusyIndicator& busy);

// Re-reads the document's file into the document. The computation is stopped first; on success
// the content (pictures loaded) replaces the old one, Changed is cleared and true is returned:
// the caller restarts the computation. On failure shows "Cannot revert the file: ..." and
// returns false with the document unchanged.
bool RevertFract(TUnitFract& document, Interaction& ui, BusyIndicator& busy);

// Export: the "Export to Bitmap" dialog, then the picture export; a failure is shown in a box
// titled "File Error".
void ExportFract(TUnitFract& document, Interaction& ui, BusyIndicator& busy);

// What the first command-line argument asks to open. The extension is the text after the last
// "." of the file name (a dot in a folder name does not count), lowered; "orp" opens a project,
// "kvf" a fractal document, "png" the fractal a picture exported by the program carries. A name without extension or with another one shows its "File Error"
// message and opens nothing.
struct StartupTarget {
  enum class Kind { None, Project, Fractal };
  Kind kind = Kind::None;
  std::string file;
};
StartupTarget CommandLineTarget(const std::string& argument, Interaction& ui);

// The parameters of a Julia set made from a click at (re, im) in a fractal with parameters
// `clicked`: the clicked point becomes c when the clicked fractal maps the plane onto c, d when
// it maps it onto d; the Julia set maps the plane onto z over -1.6..1.6 by 1.4..-1.4.
TFractProps JuliaProps(const TFractProps& clicked, double re, double im);
