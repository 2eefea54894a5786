#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "app/PropertiesRules.h"
#include "fractal/TFractProps.h"
#include "view/TFractViewProps.h"

class Interaction;
class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTabWidget;
class TColorBox;
class TColorSwatch;
class TPaletteStrip;

// The dialog "Properties Fractal": all fractal parameters and view properties of one document on
// six pages. It edits copies; OK parses every field and writes the document's parameters and
// view properties only when all of them parsed, so a failed OK (the dialog stays open) or Cancel
// leaves the document exactly as it was.
class TAllProperties : public QDialog {
  Q_OBJECT
 public:
  struct Services {
    Interaction& ui;                              // messages
    std::function<int(QDialog&)> execDialog;      // runs the palette editor
    std::uint32_t pipetColor = 0;                 // the main window's pipette colour
    // Called by OK just before the document's objects are written, with whether the fractal
    // parameters change: the owner stops a computation that must not see them change.
    std::function<void(bool fractalChanges)> beforeStore;
  };

  // view and fract are the document's objects (written only by a successful OK); the window
  // size in pixels serves the "< Window" buttons.
  TAllProperties(QWidget* owner, TFractViewProps& view, int windowHeight, int windowWidth,
                 TFractProps& fract, Services services);
  ~TAllProperties() override;

  // OK: stores every field or shows the first field's "Input Error" and stays open.
  void accept() override;
  // The texts and choices of the fields as they stand.
  TPropertiesFields Fields() const;
  // The dialog's copy of the view properties (colour and palette choices).
  const TFractViewProps& ViewCopy() const { return viewCopy_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct ColorField {
    TColorBox* box;
    TColorSwatch* swatch;
    unitColor* value;  // in viewCopy_
  };
  struct PaletteField {
    TColorPalette1D* palette;  // in viewCopy_
    QRadioButton* usePalette;
    TPaletteStrip* swatch;
  };

  QWidget* FormulaPage();
  QWidget* ScanningPage();
  QWidget* DepthPage();
  QWidget* OutsidePage();
  QWidget* InsidePage();
  QWidget* MiscPage();
  QLineEdit* Edit(const char* name, const QString& caption);
  // A group box of radio buttons (ids 0, 1, ...) in a grid of one column.
  QGroupBox* RadioGroup(const char* name, const QString& caption, const QStringList& choices);
  // A colour box with its pipette button and swatch in row `row` of grid, bound to value.
  void AddColorRow(QGridLayout* grid, int row, const QString& caption, const char* boxName,
                   const char* pipetName, const char* swatchName, unitColor& value,
                   const QString& context = {});
  QWidget* PaletteRow(const char* swatchName, const char* buttonName, QRadioButton* usePalette,
                      TColorPalette1D& palette);
  void EditPalette(PaletteField& field);

  void FillFields();
  void UpdateEnabledFields();
  int RadioIndex(const char* name) const;
  void SetRadioIndex(const char* name, int index);

  // Enter and exit handlers of the edits (see eventFilter).
  void IntExit(bool horizontal);
  void PixExit(bool horizontal);
  void ResWindow(bool horizontal);
  void ValuesPerPixelEnter();
  void ValuesPerPixelExit();
  void MaxDepthEnter();
  void MaxDepthExit();
  void AdaptStrength(const char* exponentEdit, const char* exponentLabel, const char* sensitivity,
                     QCheckBox* adapt, const char* strengthEdit, const char* strengthLabel,
                     std::int32_t oldDepth, std::int32_t newDepth);
  QString Text(const char* edit) const;
  void SetText(const char* edit, const std::string& text);

  TFractViewProps& view_;
  TFractProps& fract_;
  TFractViewProps viewCopy_;
  TFractProps fractCopy_;
  int windowHeight_;
  int windowWidth_;
  Services services_;
  std::optional<std::int32_t> oldDepth_;          // set by entering the depth edits
  std::optional<std::int32_t> oldValuesPerPixel_;  // set by entering the values per pixel edit

  QTabWidget* tabs_ = nullptr;
  QListWidget* lstFormulas_ = nullptr;
  QRadioButton* optZ_ = nullptr;
  QRadioButton* optC_ = nullptr;
  QRadioButton* optD_ = nullptr;
  QCheckBox* chkAdaptOutsideStrength_ = nullptr;
  QCheckBox* chkAdaptInsideStrength_ = nullptr;
  std::map<std::string, QLineEdit*> edits_;
  std::map<std::string, QButtonGroup*> radioGroups_;
  std::vector<ColorField> colors_;
  std::vector<PaletteField> palettes_;
  QRadioButton* optDepthPaletteOutside_ = nullptr;
  QRadioButton* optDepthPaletteInside_ = nullptr;
  QRadioButton* optBackgroundPaletteInside_ = nullptr;
  QRadioButton* optForegroundPaletteInside_ = nullptr;
};
