#include "app/TUnit.h"

#include "files/XMLItem.h"

void TUnit::SetName(const std::string& name) {
  std::string old = Name;
  Name = name;
  if (nameChanged) nameChanged(old);
}

void TUnit::SetFile(const std::string& file) {
  File = file;
  if (captionChanged) captionChanged();
}

std::string TUnit::Caption() const {
  if (!Name.empty() && !File.empty()) return Name + " - " + File;
  return Name.empty() ? File : Name;
}

std::unique_ptr<TXMLStringElement> TUnit::GetFileElement() const {
  if (IsNew()) return nullptr;
  return std::make_unique<TXMLStringElement>("File", File);
}

std::unique_ptr<TXMLStringElement> TUnit::GetTempFileElement() const {
  if (TempFile == -1) return nullptr;
  return std::make_unique<TXMLStringElement>("TempFile", std::to_string(TempFile));
}
