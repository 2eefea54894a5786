#pragma once

#include <QDialog>
#include <memory>

#include "palette/TColorPalette1D.h"

class Interaction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;
class TColorBox;
class TPaletteStrip;

// The palette editor "Color Palette": edits a copy of one palette item by item, shows it in
// three preview strips and opens and saves palette files. OK keeps the working palette for the
// caller (GetPalette); Cancel destroys it, so the caller's palette stays as it was.
class TDlgColorPalette1D : public QDialog {
  Q_OBJECT
 public:
  // Copies palette; the first item becomes current. Messages and file dialogs go through ui.
  TDlgColorPalette1D(QWidget* owner, const TColorPalette1D& palette, Interaction& ui);
  ~TDlgColorPalette1D() override;

  // The working palette; nullptr after Cancel.
  const TColorPalette1D* GetPalette() const { return palette_.get(); }
  const TColorPalette1DItem* CurrentItem() const { return current_; }

  // OK: an edit typed into but not yet left (Enter pressed in it) is stored first; when it
  // cannot be, the dialog stays open with the message shown.
  void accept() override;
  void reject() override;

  static constexpr int kSuperColumnsWidth = 216;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Holds the update lock while it lives: control changes then do not write to the palette.
  struct Lock {
    explicit Lock(int& counter) : counter_(counter) { ++counter_; }
    ~Lock() { --counter_; }
    int& counter_;
  };

  void BuildControls();
  void EnableButtons();
  void ShowItem();
  void Repaint();
  void SetCurrent(TColorPalette1DItem* item);
  void SetSuperColumnsVisible(bool visible);

  // Exit handlers: false when the typed text was refused.
  bool PositionExit();
  // The number edits: transparency factors (before, after) and super factors (before, after).
  bool NumberExit(QLineEdit* edit);
  void ColorBeforeSelected(std::uint32_t color);
  void ColorAfterSelected(std::uint32_t color);
  void AnchorBeforeSelected(std::uint32_t color);
  void AnchorAfterSelected(std::uint32_t color);
  void ColorAfterToggled(bool checked);
  void ColorFromPrevious();
  void ColorFromNext();
  void AddItem();
  void DeleteItem();
  void OpenFile();
  void SaveFile();

  Interaction& ui_;
  std::unique_ptr<TColorPalette1D> palette_;
  TColorPalette1DItem* current_ = nullptr;  // an item of palette_
  int lock_ = 0;
  bool modified_ = false;
  QLineEdit* lastEdited_ = nullptr;  // the edit whose change set modified_
  bool superShown_ = false;
  int superWidened_ = kSuperColumnsWidth;  // how much showing the super columns widened the form

  QLabel* lblPosition_ = nullptr;
  QLineEdit* editPosition_ = nullptr;
  QLabel* lblColor_ = nullptr;
  TColorBox* cboColorBefore_ = nullptr;
  QCheckBox* chkColorAfter_ = nullptr;
  TColorBox* cboColorAfter_ = nullptr;
  QLineEdit* editTransFactorBefore_ = nullptr;
  QLineEdit* editTransFactorAfter_ = nullptr;
  QCheckBox* chkSuperFactor_ = nullptr;
  QLineEdit* editSuperFactorBefore_ = nullptr;
  QLineEdit* editSuperFactorAfter_ = nullptr;
  QLabel* lblRefColor_ = nullptr;
  TColorBox* cboColorSuperAnchorBefore_ = nullptr;
  TColorBox* cboColorSuperAnchorAfter_ = nullptr;
  QPushButton* btnColorPrevious_ = nullptr;
  QPushButton* btnColorNext_ = nullptr;
  QToolButton* btnPalItemFirst_ = nullptr;
  QToolButton* btnPalItemPrevious_ = nullptr;
  QToolButton* btnPalItemNext_ = nullptr;
  QToolButton* btnPalItemLast_ = nullptr;
  QPushButton* btnPalItemAdd_ = nullptr;
  QPushButton* btnPalItemDelete_ = nullptr;
  QToolButton* btnOpen_ = nullptr;
  QToolButton* btnSave_ = nullptr;
  QCheckBox* chkCycleColors_ = nullptr;
  QWidget* stripArea_ = nullptr;
  TPaletteStrip* pboColorOpaque_ = nullptr;
  TPaletteStrip* pboColorTrans_ = nullptr;
  TPaletteStrip* pboColorCurve_ = nullptr;
};
