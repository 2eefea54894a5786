#include "gui/QtInteraction.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/DialogFilter.h"

namespace {

QStringList QtNameFilters(const std::string& filter) {
  QStringList filters;
  for (const std::string& f : NameFilters(filter)) filters << QString::fromStdString(f);
  return filters;
}

void SetUp(QFileDialog& dialog, const Interaction::FileDialog& request) {
  dialog.setWindowTitle(QString::fromStdString(request.title));
  dialog.setNameFilters(QtNameFilters(request.filter));
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  if (!request.initialFile.empty()) dialog.selectFile(QString::fromStdString(request.initialFile));
}

Interaction::Answer Ask(QWidget* parent, const std::string& title, const std::string& text,
                        QMessageBox::StandardButtons buttons) {
  QMessageBox box(QMessageBox::Information, QString::fromStdString(title),
                  QString::fromStdString(text), buttons, parent);
  switch (box.exec()) {
    case QMessageBox::Yes: return Interaction::Answer::Yes;
    case QMessageBox::No: return Interaction::Answer::No;
    default: return Interaction::Answer::Cancel;
  }
}

}  // namespace

void QtInteraction::ShowMessage(const std::string& title, const std::string& text, Icon icon) {
  QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::Information,
                  QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok,
                  parent_);
  box.exec();
}

Interaction::Answer QtInteraction::AskYesNo(const std::string& title, const std::string& text) {
  // Closing the box without a button counts as No.
  const Answer answer = Ask(parent_, title, text, QMessageBox::Yes | QMessageBox::No);
  return answer == Answer::Yes ? Answer::Yes : Answer::No;
}

Interaction::Answer QtInteraction::AskYesNoCancel(const std::string& title,
                                                  const std::string& text) {
  return Ask(parent_, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

std::vector<std::string> QtInteraction::AskOpenFiles(const FileDialog& request, bool multiSelect) {
  QFileDialog dialog(parent_);
  SetUp(dialog, request);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  std::vector<std::string> files;
  if (dialog.exec() != QDialog::Accepted) return files;
  for (const QString& file : dialog.selectedFiles()) files.push_back(file.toStdString());
  return files;
}

std::string QtInteraction::AskSaveFile(const FileDialog& request) {
  QFileDialog dialog(parent_);
  SetUp(dialog, request);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
  return dialog.selectedFiles().first().toStdString();
}
