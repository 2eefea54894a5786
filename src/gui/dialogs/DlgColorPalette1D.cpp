#include "gui/dialogs/DlgColorPalette1D.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/PaletteEditorRules.h"
#include "common/Assert.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "gui/HelpWindow.h"
#include "gui/widgets/ColorBox.h"
#include "gui/widgets/PaletteStrip.h"
#include "palette/ColorPalette1DFile.h"
#include "palette/PaletteCheck.h"

namespace {

constexpr int kFormWidth = 758;
constexpr int kFormHeight = 386;
constexpr int kMinWidth = 670;
constexpr int kMinHeight = 235;

Interaction::FileDialog PaletteFileDialog(const char* title) {
  return {title,
          "Color Palette 1D (*.cp1)|*.cp1|XML Files (*.xml)|*.xml|All files (*.*)|*.*", "cp1",
          ""};
}

template <typename W>
W* Named(W* widget, const char* name, const QString& caption) {
  widget->setObjectName(name);
  widget->setAccessibleName(caption);
  return widget;
}

QToolButton* PictureButton(const char* name, const QString& caption, QStyle::StandardPixmap icon,
                           QWidget* parent) {
  auto* button = Named(new QToolButton(parent), name, caption);
  button->setFocusPolicy(Qt::StrongFocus);  // a click leaves the edit first, storing its text
  button->setIcon(parent->style()->standardIcon(icon));
  button->setToolTip(caption);
  return button;
}

}  // namespace

TDlgColorPalette1D::TDlgColorPalette1D(QWidget* owner, const TColorPalette1D& palette,
                                       Interaction& ui)
    : QDialog(owner), ui_(ui), palette_(std::make_unique<TColorPalette1D>(palette)) {
  setObjectName("DlgColorPalette1D");
  setWindowTitle("Color Palette");
  current_ = palette_->GetFirst();
  BuildControls();
  chkSuperFactor_->setVisible(palette_->GetSuperColorsEnabled());
  Lock lock(lock_);
  SetSuperColumnsVisible(false);
  resize(kFormWidth - kSuperColumnsWidth, kFormHeight);
  EnableButtons();
  ShowItem();
  Repaint();
}

TDlgColorPalette1D::~TDlgColorPalette1D() = default;

void TDlgColorPalette1D::BuildControls() {
  auto* grid = new QGridLayout;
  lblPosition_ = Named(new QLabel("Position", this), "lblPosition", "Position");
  editPosition_ = Named(new QLineEdit(this), "editPosition", "Position");
  lblColor_ = Named(new QLabel("Color", this), "lblColor", "Color");
  cboColorBefore_ = Named(new TColorBox(this), "cboColorBefore", "Color Before");
  chkColorAfter_ = Named(new QCheckBox("Color After", this), "chkColorAfter", "Color After");
  cboColorAfter_ = Named(new TColorBox(this), "cboColorAfter", "Color After");
  auto* lblTransFactor = Named(new QLabel("Strength", this), "lblTransFactor", "Strength");
  editTransFactorBefore_ =
      Named(new QLineEdit(this), "editTransFactorBefore", "Transparency Factor Before");
  editTransFactorAfter_ =
      Named(new QLineEdit(this), "editTransFactorAfter", "Transparency Factor After");
  chkSuperFactor_ = Named(new QCheckBox("Super Factor", this), "chkSuperFactor", "Super Factor");
  editSuperFactorBefore_ = Named(new QLineEdit(this), "editSuperFactorBefore", "Super Factor Before");
  editSuperFactorAfter_ = Named(new QLineEdit(this), "editSuperFactorAfter", "Super Factor After");
  lblRefColor_ = Named(new QLabel("Reference Color", this), "lblRefColor", "Reference Color");
  cboColorSuperAnchorBefore_ =
      Named(new TColorBox(this), "cboColorSuperAnchorBefore", "Reference Color Before");
  cboColorSuperAnchorAfter_ =
      Named(new TColorBox(this), "cboColorSuperAnchorAfter", "Reference Color After");
  btnColorPrevious_ = Named(new QPushButton("< Previous", this), "btnColorPrevious", "< Previous");
  btnColorNext_ = Named(new QPushButton("< Next", this), "btnColorNext", "< Next");
  btnPalItemFirst_ = PictureButton("btnPalItemFirst", "First", QStyle::SP_MediaSkipBackward, this);
  btnPalItemPrevious_ =
      PictureButton("btnPalItemPrevious", "Previous", QStyle::SP_MediaSeekBackward, this);
  btnPalItemNext_ = PictureButton("btnPalItemNext", "Next", QStyle::SP_MediaSeekForward, this);
  btnPalItemLast_ = PictureButton("btnPalItemLast", "Last", QStyle::SP_MediaSkipForward, this);
  btnPalItemAdd_ = Named(new QPushButton("Add", this), "btnPalItemAdd", "Add");
  btnPalItemDelete_ = Named(new QPushButton("Delete", this), "btnPalItemDelete", "Delete");
  btnOpen_ = PictureButton("btnOpen", "Open", QStyle::SP_DialogOpenButton, this);
  btnSave_ = PictureButton("btnSave", "Save", QStyle::SP_DialogSaveButton, this);
  chkCycleColors_ = Named(new QCheckBox("Cycle Colors", this), "chkCycleColors", "Cycle Colors");

  auto* navigation = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{btnPalItemFirst_, btnPalItemPrevious_,
                                                    btnPalItemNext_, btnPalItemLast_,
                                                    btnPalItemAdd_, btnPalItemDelete_}) {
    navigation->addWidget(w);
  }
  navigation->addStretch();
  navigation->addWidget(btnOpen_);
  navigation->addWidget(btnSave_);
  grid->addWidget(lblPosition_, 0, 0);
  grid->addWidget(editPosition_, 0, 1);
  grid->addLayout(navigation, 0, 2, 1, 3);
  grid->addWidget(lblColor_, 1, 0);
  grid->addWidget(cboColorBefore_, 1, 1);
  grid->addWidget(chkColorAfter_, 1, 2);
  grid->addWidget(cboColorAfter_, 1, 3);
  grid->addWidget(lblTransFactor, 2, 0);
  grid->addWidget(editTransFactorBefore_, 2, 1);
  grid->addWidget(editTransFactorAfter_, 2, 3);
  grid->addWidget(btnColorPrevious_, 3, 1);
  grid->addWidget(btnColorNext_, 3, 3);
  grid->addWidget(chkSuperFactor_, 4, 0);
  grid->addWidget(chkCycleColors_, 4, 1);
  grid->addWidget(lblRefColor_, 0, 6, 1, 2);
  grid->addWidget(cboColorSuperAnchorBefore_, 1, 6);
  grid->addWidget(cboColorSuperAnchorAfter_, 1, 7);
  grid->addWidget(editSuperFactorBefore_, 2, 6);
  grid->addWidget(editSuperFactorAfter_, 2, 7);

  // The strips fill the rest of the client area down to its bottom edge.
  stripArea_ = new QWidget(this);
  stripArea_->installEventFilter(this);
  pboColorOpaque_ = Named(new TPaletteStrip(TPaletteStrip::Kind::Opaque, stripArea_),
                          "pboColorOpaque", "Palette Colors");
  pboColorTrans_ = Named(new TPaletteStrip(TPaletteStrip::Kind::Transparency, stripArea_),
                         "pboColorTrans", "Palette Transparency");
  pboColorCurve_ = Named(new TPaletteStrip(TPaletteStrip::Kind::Curve, stripArea_),
                         "pboColorCurve", "Palette Opacity Curve");
  for (TPaletteStrip* strip : {pboColorOpaque_, pboColorTrans_, pboColorCurve_}) {
    strip->SetPalette(palette_.get());
  }
  auto* left = new QVBoxLayout;
  left->addLayout(grid);
  left->addWidget(stripArea_, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  buttons->setObjectName("buttons");
  AddHelpButton(*buttons, "palette");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* main = new QHBoxLayout(this);
  main->setContentsMargins(8, 8, 8, 0);
  main->addLayout(left, 1);
  main->addWidget(buttons, 0, Qt::AlignTop);

  for (QLineEdit* edit : {editPosition_, editTransFactorBefore_, editTransFactorAfter_,
                          editSuperFactorBefore_, editSuperFactorAfter_}) {
    edit->setMinimumWidth(60);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, [this, edit] {
      if (lock_ > 0) return;
      modified_ = true;
      lastEdited_ = edit;
    });
  }
  connect(cboColorBefore_, &TColorBox::ColorSelected, this, &TDlgColorPalette1D::ColorBeforeSelected);
  connect(cboColorAfter_, &TColorBox::ColorSelected, this, &TDlgColorPalette1D::ColorAfterSelected);
  connect(cboColorSuperAnchorBefore_, &TColorBox::ColorSelected, this,
          &TDlgColorPalette1D::AnchorBeforeSelected);
  connect(cboColorSuperAnchorAfter_, &TColorBox::ColorSelected, this,
          &TDlgColorPalette1D::AnchorAfterSelected);
  // The label follows the check box at every change, also under the lock.
  connect(chkColorAfter_, &QCheckBox::toggled, this, [this](bool checked) {
    lblColor_->setText(checked ? "Color Before" : "Color");
    ColorAfterToggled(checked);
  });
  connect(chkCycleColors_, &QCheckBox::toggled, this, [this](bool checked) {
    if (lock_ == 0) palette_->SetCyclic(checked);
  });
  connect(chkSuperFactor_, &QCheckBox::toggled, this, &TDlgColorPalette1D::SetSuperColumnsVisible);
  connect(btnColorPrevious_, &QPushButton::clicked, this, &TDlgColorPalette1D::ColorFromPrevious);
  connect(btnColorNext_, &QPushButton::clicked, this, &TDlgColorPalette1D::ColorFromNext);
  connect(btnPalItemFirst_, &QToolButton::clicked, this, [this] { SetCurrent(palette_->GetFirst()); });
  connect(btnPalItemPrevious_, &QToolButton::clicked, this,
          [this] { SetCurrent(palette_->GetPrevious(current_)); });
  connect(btnPalItemNext_, &QToolButton::clicked, this, [this] { SetCurrent(current_->GetNext()); });
  connect(btnPalItemLast_, &QToolButton::clicked, this, [this] { SetCurrent(current_->GetLast()); });
  connect(btnPalItemAdd_, &QPushButton::clicked, this, &TDlgColorPalette1D::AddItem);
  connect(btnPalItemDelete_, &QPushButton::clicked, this, &TDlgColorPalette1D::DeleteItem);
  connect(btnOpen_, &QToolButton::clicked, this, &TDlgColorPalette1D::OpenFile);
  connect(btnSave_, &QToolButton::clicked, this, &TDlgColorPalette1D::SaveFile);
}

bool TDlgColorPalette1D::eventFilter(QObject* watched, QEvent* event) {
  if (watched == stripArea_ && event->type() == QEvent::Resize) {
    // Three strips of equal height a = (h - 15) / 3, 5 pixels apart, from the area's top.
    const TStripLayout layout = StripLayout(0, stripArea_->height());
    const int w = stripArea_->width();
    pboColorOpaque_->setGeometry(0, 0, w, layout.height);
    pboColorTrans_->setGeometry(0, layout.transTop, w, layout.height);
    pboColorCurve_->setGeometry(0, layout.curveTop, w, layout.height);
  } else if (event->type() == QEvent::FocusOut) {
    // Leaving an edit; a focus lost to another window (a message box) is no leaving.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      if (watched == editPosition_) PositionExit();
      else if (auto* edit = qobject_cast<QLineEdit*>(watched)) NumberExit(edit);
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TDlgColorPalette1D::accept() {
  if (modified_ && lastEdited_) {
    const bool stored = lastEdited_ == editPosition_ ? PositionExit() : NumberExit(lastEdited_);
    if (!stored) return;
  }
  QDialog::accept();
}

void TDlgColorPalette1D::reject() {
  palette_.reset();
  current_ = nullptr;
  for (TPaletteStrip* strip : {pboColorOpaque_, pboColorTrans_, pboColorCurve_}) {
    strip->SetPalette(nullptr);
  }
  QDialog::reject();
}

void TDlgColorPalette1D::SetSuperColumnsVisible(bool visible) {
  const int before = width();
  for (QWidget* w : std::initializer_list<QWidget*>{editSuperFactorBefore_, editSuperFactorAfter_,
                                                    cboColorSuperAnchorBefore_,
                                                    cboColorSuperAnchorAfter_, lblRefColor_}) {
    w->setVisible(visible);
  }
  if (visible == superShown_) return;
  superShown_ = visible;
  // The form widens by 216 pixels, or by what the columns need when their controls are wider,
  // and narrows again by as much as it widened.
  setMinimumSize(visible ? kMinWidth : kMinWidth - kSuperColumnsWidth, kMinHeight);
  if (visible) {
    resize(before + kSuperColumnsWidth, height());
    superWidened_ = width() - before;
  } else {
    resize(std::max(before - superWidened_, minimumWidth()), height());
  }
}

void TDlgColorPalette1D::EnableButtons() {
  const TPaletteItemEnabling e = PaletteItemEnabling(current_->GetDPosition());
  btnPalItemFirst_->setEnabled(e.first);
  btnPalItemPrevious_->setEnabled(e.previous);
  btnColorPrevious_->setEnabled(e.colorPrevious);
  btnPalItemNext_->setEnabled(e.next);
  btnPalItemLast_->setEnabled(e.last);
  btnColorNext_->setEnabled(e.colorNext);
  btnPalItemAdd_->setEnabled(e.add);
  btnPalItemDelete_->setEnabled(e.remove);
}

void TDlgColorPalette1D::ShowItem() {
  const TColorPalette1DItem& item = *current_;
  const TPaletteItemEnabling e = PaletteItemEnabling(item.GetDPosition());
  const bool after = item.GetUseColorAfter();
  editPosition_->setText(QString::fromStdString(item.GetPosition().ToText()));
  editPosition_->setEnabled(e.position);
  cboColorBefore_->SetColor(item.GetColorBefore());
  chkColorAfter_->setChecked(after);
  chkColorAfter_->setEnabled(e.colorAfter);
  cboColorAfter_->SetColor(item.GetColorAfter());
  cboColorAfter_->setEnabled(after);
  editTransFactorAfter_->setEnabled(after);
  editTransFactorBefore_->setText(QString::fromStdString(item.GetTransFactorBefore().ToText()));
  editTransFactorAfter_->setText(QString::fromStdString(item.GetTransFactorAfter().ToText()));
  if (palette_->GetSuperColorsEnabled()) {
    editSuperFactorBefore_->setText(QString::fromStdString(item.GetSuperFactorBefore().ToText()));
    editSuperFactorAfter_->setText(QString::fromStdString(item.GetSuperFactorAfter().ToText()));
    editSuperFactorAfter_->setEnabled(after);
    cboColorSuperAnchorBefore_->SetColor(item.GetSuperAnchorColorBefore());
    cboColorSuperAnchorAfter_->SetColor(item.GetSuperAnchorColorAfter());
    cboColorSuperAnchorAfter_->setEnabled(after);
  }
  chkCycleColors_->setChecked(palette_->GetCyclic());
}

void TDlgColorPalette1D::Repaint() {
  for (TPaletteStrip* strip : {pboColorOpaque_, pboColorTrans_, pboColorCurve_}) strip->update();
}

void TDlgColorPalette1D::SetCurrent(TColorPalette1DItem* item) {
  if (!item) return;  // the navigation buttons are disabled where there is no item
  Lock lock(lock_);
  current_ = item;
  EnableButtons();
  ShowItem();
}

bool TDlgColorPalette1D::PositionExit() {
  if (!modified_ || lock_ > 0 || !current_) return true;
  modified_ = false;
  const unitFactorPosMoreLess1 old = current_->GetPosition();
  unitFactorPosMoreLess1 position = old;
  std::string message;
  bool ok = position.Parse(editPosition_->text().toStdString(), "Position", message);
  if (!ok) {
    ShowInputError(ui_, message);
  } else if (palette_->PositionExists(position.GetValue(), current_)) {
    ui_.ShowMessage("Input Error", "This Position already exists in the pallette.",
                    Interaction::Icon::Information);
    ok = false;
  }
  Lock lock(lock_);
  if (ok) {
    current_->SetPosition(position);
    palette_->MoveItem(current_);
    ShowItem();
    Repaint();
  } else {
    editPosition_->setText(QString::fromStdString(old.ToText()));
    editPosition_->setFocus();
  }
  return ok;
}

bool TDlgColorPalette1D::NumberExit(QLineEdit* edit) {
  if (!modified_ || lock_ > 0 || !current_) return true;
  modified_ = false;
  const std::string text = edit->text().toStdString();
  std::string message;
  bool ok = false;
  if (edit == editTransFactorBefore_ || edit == editTransFactorAfter_) {
    const bool before = edit == editTransFactorBefore_;
    unitFactorPosMax1 factor =
        before ? current_->GetTransFactorBefore() : current_->GetStoredAfterSide().TransFactor;
    ok = factor.Parse(text, before ? "Transparency Factor Before" : "Transparency Factor After",
                      message);
    if (ok && before) current_->SetTransFactorBefore(factor);
    if (ok && !before) current_->SetTransFactorAfter(factor);
    if (ok) Repaint();
  } else {
    const bool before = edit == editSuperFactorBefore_;
    unitFactor factor =
        before ? current_->GetSuperFactorBefore() : current_->GetStoredAfterSide().SuperFactor;
    ok = factor.Parse(text, before ? "Super Factor Before" : "Super Factor After", message);
    if (ok && before) current_->SetSuperFactorBefore(factor);
    if (ok && !before) current_->SetSuperFactorAfter(factor);
  }
  if (!ok) {
    ShowInputError(ui_, message);
    edit->setFocus();
  }
  return ok;
}

void TDlgColorPalette1D::ColorBeforeSelected(std::uint32_t color) {
  if (lock_ > 0 || !current_) return;
  current_->SetColorBefore(color);
  {
    Lock lock(lock_);
    cboColorAfter_->SetColor(current_->GetColorAfter());
  }
  Repaint();
}

void TDlgColorPalette1D::ColorAfterSelected(std::uint32_t color) {
  if (lock_ > 0 || !current_) return;
  current_->SetColorAfter(color);
  Repaint();
}

void TDlgColorPalette1D::AnchorBeforeSelected(std::uint32_t color) {
  if (lock_ > 0 || !current_) return;
  current_->SetSuperAnchorColorBefore(color);
  Lock lock(lock_);
  cboColorSuperAnchorAfter_->SetColor(current_->GetSuperAnchorColorAfter());
}

void TDlgColorPalette1D::AnchorAfterSelected(std::uint32_t color) {
  if (lock_ > 0 || !current_) return;
  current_->SetSuperAnchorColorAfter(color);
}

void TDlgColorPalette1D::ColorAfterToggled(bool checked) {
  if (lock_ > 0 || !current_) return;
  {
    Lock lock(lock_);
    current_->SetUseColorAfter(checked);
    for (QWidget* w : std::initializer_list<QWidget*>{cboColorAfter_, editTransFactorAfter_,
                                                      editSuperFactorAfter_,
                                                      cboColorSuperAnchorAfter_}) {
      w->setEnabled(checked);
    }
    cboColorAfter_->SetColor(current_->GetColorAfter());
    editTransFactorAfter_->setText(QString::fromStdString(current_->GetTransFactorAfter().ToText()));
    editSuperFactorAfter_->setText(QString::fromStdString(current_->GetSuperFactorAfter().ToText()));
    cboColorSuperAnchorAfter_->SetColor(current_->GetSuperAnchorColorAfter());
    btnColorNext_->setEnabled(current_->GetDPosition() < 1 && checked);
  }
  Repaint();
}

void TDlgColorPalette1D::ColorFromPrevious() {
  if (!current_) return;
  const double position = current_->GetDPosition();
  if (!KORVANA_CHECK(position > 0, kPaletteUnit)) return;
  const TColorPalette1DItem* previous = palette_->GetPrevious(current_);
  if (!previous) return;
  current_->SetColorBefore(previous->GetColorAfter());
  current_->SetTransFactorBefore(previous->GetTransFactorAfter());
  current_->SetSuperAnchorColorBefore(previous->GetSuperAnchorColorAfter());
  current_->SetSuperFactorBefore(previous->GetSuperFactorAfter());
  {
    Lock lock(lock_);
    ShowItem();
  }
  Repaint();
}

void TDlgColorPalette1D::ColorFromNext() {
  if (!current_) return;
  const double position = current_->GetDPosition();
  if (!KORVANA_CHECK(position < 1, kPaletteUnit)) return;
  const TColorPalette1DItem* next = current_->GetNext();
  if (!next) return;
  if (chkColorAfter_->isChecked()) {
    TColorPalette1DSide after = current_->GetStoredAfterSide();
    after.Color = next->GetColorBefore();
    after.TransFactor = next->GetTransFactorBefore();
    after.SuperAnchorColor = next->GetSuperAnchorColorBefore();
    after.SuperFactor = next->GetSuperFactorBefore();
    current_->SetStoredAfterSide(after);
  } else {
    current_->SetBeforeSide(next->GetBeforeSide());
  }
  {
    Lock lock(lock_);
    ShowItem();
  }
  Repaint();
}

void TDlgColorPalette1D::AddItem() {
  if (!current_) return;
  const double position = AddedItemPosition(*palette_, *current_);
  // The palette's colour there, but opaque: a new item starts as a plain colour stop.
  const std::uint32_t color = palette_->GetFirst()->GetColor(position);
  if (TColorPalette1DItem* added = palette_->AddItem(position, color, 1.0)) {
    SetCurrent(added);
  }
  Repaint();
}

void TDlgColorPalette1D::DeleteItem() {
  if (!current_) return;
  TColorPalette1D::TRemoved removed = palette_->RemoveItem(current_);
  if (!removed.item) return;  // the first and last items stay
  current_ = removed.previous;
  removed.item.reset();
  SetCurrent(current_);
  Repaint();
}

void TDlgColorPalette1D::OpenFile() {
  const std::vector<std::string> files =
      ui_.AskOpenFiles(PaletteFileDialog("Open Color Palette 1D"), false);
  if (files.empty()) return;
  std::string error;
  if (!LoadPaletteFile(*palette_, files.front(), error)) {
    ShowFileError(ui_, "Cannot read file: \"" + files.front() + "\": " + error);
  }
  // The chain may have been replaced: only the first item is sure to live on.
  current_ = palette_->GetFirst();
  SetCurrent(current_);
  Repaint();
}

void TDlgColorPalette1D::SaveFile() {
  const std::string file = ui_.AskSaveFile(PaletteFileDialog("Save Color Palette 1D"));
  if (file.empty()) return;
  SavePaletteFile(*palette_, file, ui_);
}
