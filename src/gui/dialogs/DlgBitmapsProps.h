#pragma once

#include <QDialog>
#include <string>

#include "bitmaps/BitmapsProps.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QGroupBox;
class TColorBox;
class TColorSwatch;
class TMainForm;
class TMDIChildResult;

// "Properties Bitmaps": edits a working copy of a fractal window's bitmap properties on two
// pages, "Files" (the named pictures, one at a time) and "Usages" (their uses). Pictures are
// loaded into the entries' pending sets; Accept stops the window's computation, commits them and
// writes the copy into the document; Cancel rolls back and leaves the document untouched.
class TDlgBitmapsProps : public QDialog {
  Q_OBJECT
 public:
  TDlgBitmapsProps(TMainForm& main, TMDIChildResult& window, QWidget* parent = nullptr);

  // OK: stores the entry and the use; on success stops the computation, commits, copies back and
  // closes with Accepted. Returns false (dialog stays open) when a store or the name check fails.
  bool Accept();
  // Cancel: the pending pictures are dropped.
  void reject() override;
  // Whether a picture was loaded into the working copy (the pictures may differ although names
  // and files are equal).
  bool PicturesLoaded() const { return picturesLoaded_; }

  // Page "Files".
  bool StoreFile();
  void ShowFile();
  void FirstFile();
  void PrevFile();
  void NextFile();
  void LastFile();
  void AppendFile();
  void DeleteFile();
  // Loads the name typed in "File".
  void LoadTyped();
  // The two import buttons: ask for a file, then load it.
  void ImportWithPreview();
  void ImportPlain();
  void ChooseReference(bool relative);

  // Page "Usages".
  bool StoreUse();
  void ShowUse();
  void FirstUse();
  void PrevUse();
  void NextUse();
  void LastUse();
  void InsertUse();
  void AppendUse();
  void DeleteUse();
  void TakePipetColor();

  // Switches to page 0 ("Files") or 1 ("Usages"), storing the page left; false when that failed.
  bool SwitchPage(int page);

  // The working copy (for tests).
  const BitmapsProps& Working() const { return work_; }

  // Controls, for tests.
  QTabWidget* Pages() const { return pages_; }
  QLineEdit* NameEdit() const { return name_; }
  QLineEdit* FileEdit() const { return file_; }
  QLineEdit* FileSpecifiedEdit() const { return fileSpecified_; }
  QLineEdit* FileEffectiveEdit() const { return fileEffective_; }
  QGroupBox* ReferenceGroup() const { return reference_; }
  QRadioButton* AbsoluteButton() const { return absolute_; }
  QRadioButton* RelativeButton() const { return relative_; }
  QLabel* Preview() const { return preview_; }
  QPushButton* FileButton(const char* name) const;  // "First", "Previous", ..., "Delete"
  QComboBox* BitmapBox() const { return bitmap_; }
  QLineEdit* UseEdit(const char* label) const;  // by the message label, e.g. "Depth Min"
  QCheckBox* ReciprokeBox() const { return reciproke_; }
  QCheckBox* TransparentBox() const { return transparent_; }
  QRadioButton* SmoothButton() const { return smooth_; }
  TColorBox* TransColorBox() const { return transColor_; }
  TColorSwatch* Swatch() const { return swatch_; }
  QPushButton* UseButton(const char* name) const;  // "First", ..., "Insert", "Append", "Delete"

 private:
  QWidget* BuildFilesPage();
  QWidget* BuildUsesPage();
  void Load(const std::string& fileName, bool imported);
  void Import(const std::string& title, const std::string& filter);
  void FillBitmapNames();
  const std::string& DocumentFile() const;

  TMainForm& main_;
  TMDIChildResult& window_;
  BitmapsProps work_;
  BitmapsProps::FileIterator fileIt_;
  BitmapFileProps saved_;
  std::list<BitmapUseProps>::iterator useIt_;
  BitmapUseProps useEdit_;
  int showing_ = 0;  // > 0 while a page is being shown: reference changes are ignored
  int page_ = 0;
  bool picturesLoaded_ = false;

  QTabWidget* pages_;
  QLineEdit* name_;
  QLineEdit* file_;
  QLineEdit* fileSpecified_;
  QLineEdit* fileEffective_;
  QGroupBox* reference_;
  QRadioButton* absolute_;
  QRadioButton* relative_;
  QLabel* preview_;
  QPushButton* fileButtons_[6];
  QComboBox* bitmap_;
  QLineEdit* useEdits_[10];
  QCheckBox* reciproke_;
  QCheckBox* transparent_;
  QRadioButton* hard_;
  QRadioButton* smooth_;
  TColorBox* transColor_;
  TColorSwatch* swatch_;
  QPushButton* useButtons_[7];
};
