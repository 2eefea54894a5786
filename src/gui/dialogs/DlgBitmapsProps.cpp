#include "gui/dialogs/DlgBitmapsProps.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <array>
#include <exception>

#include "app/BusyIndicator.h"
#include "app/TUnitFract.h"
#include "common/FileNames.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "gui/HelpWindow.h"
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"
#include "gui/widgets/ColorBox.h"
#include "gui/widgets/ColorSwatch.h"

namespace {

const char* const kFileButtons[] = {"First", "Previous", "Next", "Last", "Append", "Delete"};
const char* const kUseButtons[] = {"First",  "Previous", "Next",  "Last",
                                   "Insert", "Append",   "Delete"};
// The labels of the use fields' messages, in the order they are stored.
const char* const kUseLabels[] = {"Color Width Max Transparancy",
                                  "Color Width No Transparancy",
                                  "Bitmap - Left",
                                  "Bitmap - Right",
                                  "Bitmap - Top",
                                  "Bitmap - Bottom",
                                  "Depth Module",
                                  "Depth Min",
                                  "Depth Max",
                                  "Basic Trans Factor"};
constexpr int kUseFields = 10;

const char* const kPreviewTitle = "Choose .bmp file using preview";
const char* const kPlainTitle = "Choose .bmp of .tif file without using preview";
const char* const kPreviewFilter = "Bitmaps (*.bmp)|*.bmp";
const char* const kPlainFilter =
    "All Tiff and Bmp(*.bmp; *.tif)|*.bmp; *.tif|Tiff (*.tif)|*.tif|Bitmaps (*.bmp)|*.bmp|"
    "All (*.*)|*.*";

// The use's value fields in the order of kUseLabels.
std::array<unitValue*, kUseFields> UseValues(BitmapUseProps& u) {
  return {&u.BmpTransColorWidthMaxTrans, &u.BmpTransColorWidthNoTrans, &u.Left, &u.Right, &u.Top,
          &u.Bottom, &u.DepthModulo, &u.DepthMin, &u.DepthMax, &u.BasicTransFactor};
}

QLineEdit* Edit(const QString& name, QWidget* parent, bool readOnly = false) {
  auto* edit = new QLineEdit(parent);
  edit->setAccessibleName(name);
  edit->setReadOnly(readOnly);
  return edit;
}

QPushButton* Button(const QString& text, const QString& name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setAccessibleName(name);
  return button;
}

void ShowError(Interaction& ui, const std::string& text) {
  ui.ShowMessage("Error", text, Interaction::Icon::Error);
}

}  // namespace

TDlgBitmapsProps::TDlgBitmapsProps(TMainForm& main, TMDIChildResult& window, QWidget* parent)
    : QDialog(parent), main_(main), window_(window), work_(window.Document().Content.Bitmaps) {
  setWindowTitle("Properties Bitmaps");
  setAccessibleName("Properties Bitmaps");
  work_.BeginEdit();
  // A document may hold no entry or no use at all (written by hand); the pages need one each.
  if (work_.FirstFile() == work_.Files.end()) work_.Files.emplace_back();
  if (work_.Uses.empty()) work_.Uses.emplace_back();
  fileIt_ = work_.FirstFile();
  useIt_ = work_.Uses.begin();

  pages_ = new QTabWidget(this);
  pages_->setAccessibleName("Pages");
  pages_->addTab(BuildFilesPage(), "Files");
  pages_->addTab(BuildUsesPage(), "Usages");
  connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
    if (page != page_ && !SwitchPage(page)) pages_->setCurrentIndex(page_);
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName("OK");
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName("Cancel");
  AddHelpButton(*buttons, "bitmaps");
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Accept(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &TDlgBitmapsProps::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addWidget(buttons);
  ShowFile();
  FillBitmapNames();
  ShowUse();
}

QWidget* TDlgBitmapsProps::BuildFilesPage() {
  auto* page = new QWidget(this);
  auto* grid = new QGridLayout(page);
  name_ = Edit("Name", page);
  file_ = Edit("File", page);
  file_->setObjectName("editFileInput");
  fileSpecified_ = Edit("File Specified", page, true);
  fileEffective_ = Edit("File Effective Absolute", page, true);
  auto* load = Button("Load", "Load", page);
  auto* withPreview = Button("...", kPreviewTitle, page);
  auto* plain = Button("...", kPlainTitle, page);
  grid->addWidget(new QLabel("Name", page), 0, 0);
  grid->addWidget(name_, 0, 1);
  grid->addWidget(new QLabel("File", page), 1, 0);
  grid->addWidget(file_, 1, 1);
  grid->addWidget(load, 1, 2);
  grid->addWidget(new QLabel(kPreviewTitle, page), 2, 1);
  grid->addWidget(withPreview, 2, 2);
  grid->addWidget(new QLabel(kPlainTitle, page), 3, 1);
  grid->addWidget(plain, 3, 2);
  grid->addWidget(new QLabel("File Specified", page), 4, 0);
  grid->addWidget(fileSpecified_, 4, 1);
  grid->addWidget(new QLabel("File Effective Absolute", page), 5, 0);
  grid->addWidget(fileEffective_, 5, 1);

  reference_ = new QGroupBox("Reference to file", page);
  reference_->setAccessibleName("Reference to file");
  absolute_ = new QRadioButton("Absolute", reference_);
  relative_ = new QRadioButton("Relative from fractal file", reference_);
  absolute_->setAccessibleName("Absolute");
  relative_->setAccessibleName("Relative from fractal file");
  auto* refLayout = new QHBoxLayout(reference_);
  refLayout->addWidget(absolute_);
  refLayout->addWidget(relative_);
  grid->addWidget(reference_, 6, 0, 1, 3);

  preview_ = new QLabel(page);
  preview_->setAccessibleName("Preview");
  preview_->setFixedSize(216, 180);
  preview_->setFrameShape(QFrame::Box);
  grid->addWidget(preview_, 0, 3, 8, 1);

  auto* nav = new QHBoxLayout;
  for (int i = 0; i < 6; ++i) {
    fileButtons_[i] = Button(kFileButtons[i], kFileButtons[i], page);
    nav->addWidget(fileButtons_[i]);
  }
  grid->addLayout(nav, 7, 0, 1, 3);

  connect(load, &QPushButton::clicked, this, &TDlgBitmapsProps::LoadTyped);
  connect(withPreview, &QPushButton::clicked, this, &TDlgBitmapsProps::ImportWithPreview);
  connect(plain, &QPushButton::clicked, this, &TDlgBitmapsProps::ImportPlain);
  connect(absolute_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) ChooseReference(false);
  });
  connect(relative_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) ChooseReference(true);
  });
  void (TDlgBitmapsProps::*const actions[])() = {
      &TDlgBitmapsProps::FirstFile, &TDlgBitmapsProps::PrevFile,   &TDlgBitmapsProps::NextFile,
      &TDlgBitmapsProps::LastFile,  &TDlgBitmapsProps::AppendFile, &TDlgBitmapsProps::DeleteFile};
  for (int i = 0; i < 6; ++i) connect(fileButtons_[i], &QPushButton::clicked, this, actions[i]);
  return page;
}

QWidget* TDlgBitmapsProps::BuildUsesPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  bitmap_ = new QComboBox(page);
  bitmap_->setEditable(true);
  bitmap_->setAccessibleName("Bitmap");
  top->addWidget(new QLabel("Bitmap", page));
  top->addWidget(bitmap_, 1);
  layout->addLayout(top);

  // Accessible names are the field captions; the message labels stay the stored ones.
  const char* const captions[] = {"Color Distance Max Transparance", "Color Distance No Transparance",
                                  "Left", "Right", "Top", "Bottom", "Depth Modulo", "Depth Min",
                                  "Depth Max", "Basic Trans Factor"};
  for (int i = 0; i < kUseFields; ++i) useEdits_[i] = Edit(captions[i], page);

  auto* rect = new QGroupBox("Bitmap", page);
  auto* rectGrid = new QGridLayout(rect);
  rectGrid->addWidget(new QLabel("Real", rect), 0, 0);
  rectGrid->addWidget(new QLabel("Left", rect), 0, 1);
  rectGrid->addWidget(useEdits_[2], 0, 2);
  rectGrid->addWidget(new QLabel("Right", rect), 0, 3);
  rectGrid->addWidget(useEdits_[3], 0, 4);
  rectGrid->addWidget(new QLabel("Imaginair", rect), 1, 0);
  rectGrid->addWidget(new QLabel("Top", rect), 1, 1);
  rectGrid->addWidget(useEdits_[4], 1, 2);
  rectGrid->addWidget(new QLabel("Bottom", rect), 1, 3);
  rectGrid->addWidget(useEdits_[5], 1, 4);
  layout->addWidget(rect);

  reciproke_ = new QCheckBox("Reciproke", page);
  reciproke_->setAccessibleName("Reciproke");
  transparent_ = new QCheckBox("Transparant at Color:", page);
  transparent_->setAccessibleName("Transparant at Color:");
  layout->addWidget(reciproke_);
  layout->addWidget(transparent_);

  auto* trans = new QGroupBox("Transparant Color", page);
  auto* transGrid = new QGridLayout(trans);
  transColor_ = new TColorBox(trans);
  transColor_->setAccessibleName("Transparant Color");
  swatch_ = new TColorSwatch(trans);
  swatch_->setAccessibleName("Transparant Color Swatch");
  swatch_->setFixedSize(32, 20);
  auto* pipet = Button("Pipet", "Pipet", trans);
  transGrid->addWidget(transColor_, 0, 0);
  transGrid->addWidget(swatch_, 0, 1);
  transGrid->addWidget(pipet, 0, 2);
  transGrid->addWidget(new QLabel(captions[0], trans), 1, 0);
  transGrid->addWidget(useEdits_[0], 1, 1, 1, 2);
  transGrid->addWidget(new QLabel(captions[1], trans), 2, 0);
  transGrid->addWidget(useEdits_[1], 2, 1, 1, 2);
  layout->addWidget(trans);

  auto* selection = new QGroupBox("Pixel Selection", page);
  selection->setAccessibleName("Pixel Selection");
  hard_ = new QRadioButton("Hard", selection);
  smooth_ = new QRadioButton("Smooth", selection);
  hard_->setAccessibleName("Hard");
  smooth_->setAccessibleName("Smooth");
  auto* selLayout = new QHBoxLayout(selection);
  selLayout->addWidget(hard_);
  selLayout->addWidget(smooth_);
  layout->addWidget(selection);

  auto* depths = new QGridLayout;
  const int order[] = {9, 6, 7, 8};
  for (int row = 0; row < 4; ++row) {
    depths->addWidget(new QLabel(captions[order[row]], page), row, 0);
    depths->addWidget(useEdits_[order[row]], row, 1);
  }
  depths->addWidget(new QLabel("0 = no Maximum", page), 3, 2);
  layout->addLayout(depths);

  auto* nav = new QHBoxLayout;
  for (int i = 0; i < 7; ++i) {
    useButtons_[i] = Button(kUseButtons[i], kUseButtons[i], page);
    nav->addWidget(useButtons_[i]);
  }
  layout->addLayout(nav);

  connect(transColor_, &TColorBox::ColorSelected, this, [this](std::uint32_t color) {
    useEdit_.BmpTransColor.SetValue(color);
    swatch_->SetColor(color);
  });
  connect(pipet, &QPushButton::clicked, this, &TDlgBitmapsProps::TakePipetColor);
  void (TDlgBitmapsProps::*const actions[])() = {
      &TDlgBitmapsProps::FirstUse,  &TDlgBitmapsProps::PrevUse,   &TDlgBitmapsProps::NextUse,
      &TDlgBitmapsProps::LastUse,   &TDlgBitmapsProps::InsertUse, &TDlgBitmapsProps::AppendUse,
      &TDlgBitmapsProps::DeleteUse};
  for (int i = 0; i < 7; ++i) connect(useButtons_[i], &QPushButton::clicked, this, actions[i]);
  return page;
}

QPushButton* TDlgBitmapsProps::FileButton(const char* name) const {
  for (int i = 0; i < 6; ++i) {
    if (std::string(kFileButtons[i]) == name) return fileButtons_[i];
  }
  return nullptr;
}

QPushButton* TDlgBitmapsProps::UseButton(const char* name) const {
  for (int i = 0; i < 7; ++i) {
    if (std::string(kUseButtons[i]) == name) return useButtons_[i];
  }
  return nullptr;
}

QLineEdit* TDlgBitmapsProps::UseEdit(const char* label) const {
  for (int i = 0; i < kUseFields; ++i) {
    if (std::string(kUseLabels[i]) == label) return useEdits_[i];
  }
  return nullptr;
}

const std::string& TDlgBitmapsProps::DocumentFile() const {
  return window_.Document().File;
}

// ---- Files page ----

void TDlgBitmapsProps::ShowFile() {
  ++showing_;
  saved_ = *fileIt_;
  name_->setText(QString::fromStdString(fileIt_->Name));
  file_->setText(QString::fromStdString(fileIt_->BmpFile));
  fileSpecified_->setText(QString::fromStdString(fileIt_->BmpFile));
  const std::string& document = DocumentFile();
  const std::string& bmpFile = fileIt_->BmpFile;
  const bool absolute = IsAbsoluteFileName(bmpFile);
  reference_->setEnabled(!document.empty() &&
                         (!absolute || !MakeRelativeFileName(document, bmpFile).empty()));
  if (absolute) {
    absolute_->setChecked(true);
    fileEffective_->setText(QString::fromStdString(bmpFile));
  } else {
    relative_->setChecked(true);
    fileEffective_->setText(
        QString::fromStdString(bmpFile.empty() ? "" : ResolveFileName(document, bmpFile)));
  }
  const std::shared_ptr<const Bitmap24>& picture = fileIt_->New.BmpUse;
  if (picture && picture->width > 0 && picture->height > 0) {
    const QImage image(picture->rgb.data(), picture->width, picture->height, picture->width * 3,
                       QImage::Format_RGB888);
    preview_->setPixmap(QPixmap::fromImage(image.scaled(preview_->size())));
  } else {
    preview_->clear();
  }
  const bool earlier = work_.PrevFile(fileIt_) != work_.Files.end();
  const bool later = work_.NextFile(fileIt_) != work_.Files.end();
  fileButtons_[0]->setEnabled(earlier);
  fileButtons_[1]->setEnabled(earlier);
  fileButtons_[2]->setEnabled(later);
  fileButtons_[3]->setEnabled(later);
  fileButtons_[4]->setEnabled(true);
  fileButtons_[5]->setEnabled(earlier || later);
  --showing_;
}

bool TDlgBitmapsProps::StoreFile() {
  const std::string name = name_->text().toStdString();
  if (!name.empty()) {
    for (auto it = work_.Files.begin(); it != work_.Files.end(); ++it) {
      if (it != fileIt_ && !it->Deleted && it->Name == name) {
        ShowInputError(main_.Ui(), "Bitmap with name \"" + name + "\" already exists.");
        return false;
      }
    }
  }
  // The planes and the deleted mark are those the entry was shown with.
  fileIt_->Old = saved_.Old;
  fileIt_->New = saved_.New;
  fileIt_->Deleted = saved_.Deleted;
  fileIt_->Name = name;
  fileIt_->BmpFile = fileSpecified_->text().toStdString();
  saved_ = *fileIt_;
  return true;
}

void TDlgBitmapsProps::FirstFile() {
  if (!StoreFile()) return;
  fileIt_ = work_.FirstFile();
  ShowFile();
}

void TDlgBitmapsProps::PrevFile() {
  if (!StoreFile()) return;
  auto it = work_.PrevFile(fileIt_);
  if (it != work_.Files.end()) fileIt_ = it;
  ShowFile();
}

void TDlgBitmapsProps::NextFile() {
  if (!StoreFile()) return;
  auto it = work_.NextFile(fileIt_);
  if (it != work_.Files.end()) fileIt_ = it;
  ShowFile();
}

void TDlgBitmapsProps::LastFile() {
  if (!StoreFile()) return;
  fileIt_ = work_.LastFile();
  ShowFile();
}

void TDlgBitmapsProps::AppendFile() {
  if (!StoreFile()) return;
  fileIt_ = work_.Files.insert(std::next(fileIt_), BitmapFileProps{});
  ShowFile();
}

void TDlgBitmapsProps::DeleteFile() {
  auto next = work_.NextFile(fileIt_);
  if (next == work_.Files.end()) next = work_.PrevFile(fileIt_);
  if (next == work_.Files.end()) return;  // the only entry stays
  fileIt_->Deleted = true;
  fileIt_ = next;
  ShowFile();
}

void TDlgBitmapsProps::Load(const std::string& fileName, bool imported) {
  if (!StoreFile()) return;
  const std::string& document = DocumentFile();
  std::string error, resolved;
  bool loaded = false;
  {
    WaitCursor wait(main_);
    loaded = fileIt_->Load(document, fileName, true, error, &resolved);
  }
  if (loaded) {
    picturesLoaded_ = true;
    if (imported && relative_->isChecked() && !document.empty()) {
      const std::string relative = MakeRelativeFileName(document, ResolveFileName(document, fileName));
      if (!relative.empty()) fileIt_->BmpFile = relative;
    }
    if (fileIt_->Name.empty()) fileIt_->Name = fileName;
  } else {
    ShowError(main_.Ui(), error);
  }
  ShowFile();
  if (loaded) fileEffective_->setText(QString::fromStdString(resolved));
}

void TDlgBitmapsProps::LoadTyped() { Load(file_->text().toStdString(), false); }

void TDlgBitmapsProps::Import(const std::string& title, const std::string& filter) {
  Interaction::FileDialog dialog;
  dialog.title = title;
  dialog.filter = filter;
  const std::vector<std::string> chosen = main_.Ui().AskOpenFiles(dialog, false);
  if (chosen.empty()) return;
  try {
    Load(chosen.front(), true);
  } catch (const std::exception&) {
    main_.Ui().ShowMessage("Bitmap not imported", "Bitmapfile not recognized",
                           Interaction::Icon::Error);
    ShowFile();
  }
}

void TDlgBitmapsProps::ImportWithPreview() { Import(kPreviewTitle, kPreviewFilter); }

void TDlgBitmapsProps::ImportPlain() { Import(kPlainTitle, kPlainFilter); }

void TDlgBitmapsProps::ChooseReference(bool relative) {
  if (showing_ > 0) return;
  const std::string& document = DocumentFile();
  const std::string current = fileSpecified_->text().toStdString();
  const std::string absolute = ResolveFileName(document, current);
  const std::string result = relative ? MakeRelativeFileName(document, absolute) : absolute;
  if (result.empty()) {
    ++showing_;
    absolute_->setChecked(true);
    --showing_;
    return;
  }
  fileSpecified_->setText(QString::fromStdString(result));
}

// ---- Usages page ----

void TDlgBitmapsProps::FillBitmapNames() {
  bitmap_->clear();
  for (const std::string& name : work_.FileNames()) bitmap_->addItem(QString::fromStdString(name));
  bitmap_->setCurrentText(QString::fromStdString(useIt_->BitmapName));
}

void TDlgBitmapsProps::ShowUse() {
  useEdit_ = *useIt_;
  bitmap_->setCurrentText(QString::fromStdString(useEdit_.BitmapName));
  const std::array<unitValue*, kUseFields> values = UseValues(useEdit_);
  for (int i = 0; i < kUseFields; ++i) {
    useEdits_[i]->setText(QString::fromStdString(values[i]->ToText()));
  }
  reciproke_->setChecked(useEdit_.BmpReciproke);
  transparent_->setChecked(useEdit_.BmpTransOptColor);
  (useEdit_.BmpPixelSel == EBmpPixelSel::BmpPixelSelSmooth ? smooth_ : hard_)->setChecked(true);
  transColor_->SetColor(useEdit_.BmpTransColor.GetValue());
  swatch_->SetColor(useEdit_.BmpTransColor.GetValue());
  const bool earlier = useIt_ != work_.Uses.begin();
  const bool later = std::next(useIt_) != work_.Uses.end();
  useButtons_[0]->setEnabled(earlier);
  useButtons_[1]->setEnabled(earlier);
  useButtons_[2]->setEnabled(later);
  useButtons_[3]->setEnabled(later);
  useButtons_[4]->setEnabled(true);
  useButtons_[5]->setEnabled(true);
  useButtons_[6]->setEnabled(work_.Uses.size() > 1);
}

bool TDlgBitmapsProps::StoreUse() {
  BitmapUseProps use = useEdit_;
  use.BmpReciproke = reciproke_->isChecked();
  use.BmpTransOptColor = transparent_->isChecked();
  bool valid = true;
  const std::array<unitValue*, kUseFields> values = UseValues(use);
  for (int i = 0; i < kUseFields; ++i) {
    values[i]->SetTextChecked(valid, useEdits_[i]->text().toStdString(), kUseLabels[i], main_.Ui());
  }
  if (!valid) return false;
  if (!(use.BmpTransColorWidthNoTrans.GetValue() > use.BmpTransColorWidthMaxTrans.GetValue())) {
    ShowError(main_.Ui(),
              "\"Color Width Max Transparancy\" must be lower than \"Color Width No Transparancy\"");
    return false;
  }
  if (use.DepthMax.GetValue() != 0 && use.DepthMax.GetValue() < use.DepthMin.GetValue()) {
    ShowError(main_.Ui(),
              "\"Depth Max\" must be 0, or greater or equal than \"Depth Min\" ");
    return false;
  }
  use.BmpPixelSel = smooth_->isChecked() ? EBmpPixelSel::BmpPixelSelSmooth
                                         : EBmpPixelSel::BmpPixelSelHard;
  use.BitmapName = bitmap_->currentText().toStdString();
  *useIt_ = use;
  useEdit_ = use;
  return true;
}

void TDlgBitmapsProps::FirstUse() {
  if (!StoreUse()) return;
  useIt_ = work_.Uses.begin();
  ShowUse();
}

void TDlgBitmapsProps::PrevUse() {
  if (!StoreUse()) return;
  if (useIt_ != work_.Uses.begin()) --useIt_;
  ShowUse();
}

void TDlgBitmapsProps::NextUse() {
  if (!StoreUse()) return;
  if (std::next(useIt_) != work_.Uses.end()) ++useIt_;
  ShowUse();
}

void TDlgBitmapsProps::LastUse() {
  if (!StoreUse()) return;
  useIt_ = std::prev(work_.Uses.end());
  ShowUse();
}

void TDlgBitmapsProps::InsertUse() {
  if (!StoreUse()) return;
  useIt_ = work_.Uses.insert(useIt_, BitmapUseProps{});
  ShowUse();
}

void TDlgBitmapsProps::AppendUse() {
  if (!StoreUse()) return;
  useIt_ = work_.Uses.insert(std::next(useIt_), BitmapUseProps{});
  ShowUse();
}

void TDlgBitmapsProps::DeleteUse() {
  if (work_.Uses.size() <= 1) return;  // the only use stays
  auto next = std::next(useIt_);
  if (next == work_.Uses.end()) next = std::prev(useIt_);
  work_.Uses.erase(useIt_);
  useIt_ = next;
  ShowUse();
}

void TDlgBitmapsProps::TakePipetColor() {
  useEdit_.BmpTransColor.SetValue(main_.GetPipetColor());
  transColor_->SetColor(main_.GetPipetColor());
  swatch_->SetColor(main_.GetPipetColor());
}

bool TDlgBitmapsProps::SwitchPage(int page) {
  if (page == page_) return true;
  if (page_ == 0) {
    if (!StoreFile()) return false;
    FillBitmapNames();
  } else if (!StoreUse()) {
    return false;
  }
  page_ = page;
  if (pages_->currentIndex() != page) pages_->setCurrentIndex(page);
  return true;
}

bool TDlgBitmapsProps::Accept() {
  if (!StoreFile() || !StoreUse()) return false;
  if (name_->text().isEmpty()) {
    main_.Ui().ShowMessage("Empty Field", "Name is mandatory", Interaction::Icon::Information);
    pages_->setCurrentIndex(0);
    name_->setFocus();
    return false;
  }
  window_.View().StopThread();  // the computation reads the pictures and uses
  work_.Commit();
  window_.Document().Content.Bitmaps = work_;
  accept();
  return true;
}

void TDlgBitmapsProps::reject() {
  work_.Rollback();
  QDialog::reject();
}
