#include "bitmaps/BitmapsProps.h"

#include <algorithm>
#include <utility>

#include "common/Messages.h"

BitmapsProps::BitmapsProps() {
  Files.emplace_back();
  Uses.emplace_back();
}

BitmapsProps::BitmapsProps(const BitmapsProps& other) : Uses(other.Uses) {
  for (const BitmapFileProps& file : other.Files) {
    if (!file.Deleted) Files.push_back(file);
  }
  ResolveUses();
}

BitmapsProps& BitmapsProps::operator=(const BitmapsProps& other) {
  if (this != &other) {
    BitmapsProps copy(other);
    Uses = std::move(copy.Uses);
    Files = std::move(copy.Files);
  }
  return *this;
}

void BitmapsProps::Clear() {
  Uses.clear();
  Files.clear();
}

bool BitmapsProps::Equals(const BitmapsProps& other) const {
  return std::equal(Uses.begin(), Uses.end(), other.Uses.begin(), other.Uses.end()) &&
         std::equal(Files.begin(), Files.end(), other.Files.begin(), other.Files.end(),
                    [](const BitmapFileProps& a, const BitmapFileProps& b) {
                      return a.Name == b.Name && a.BmpFile == b.BmpFile;
                    });
}

void BitmapsProps::ResolveUses() {
  for (BitmapUseProps& use : Uses) use.SetResolved(FindFile(use.BitmapName));
}

bool BitmapsProps::IsActive() const {
  return std::any_of(Uses.begin(), Uses.end(), [](const BitmapUseProps& use) {
    return use.GetResolved() != nullptr && use.GetResolved()->IsLoaded();
  });
}

void BitmapsProps::LoadPictures(const std::string& documentFile, Interaction& ui) {
  for (BitmapFileProps& file : Files) {
    if (file.BmpFile.empty()) continue;
    std::string error;
    if (!file.Load(documentFile, file.BmpFile, false, error)) ShowFileError(ui, error);
  }
  ResolveUses();
}

void BitmapsProps::BeginEdit() {
  for (BitmapFileProps& file : Files) file.BeginEdit();
}

void BitmapsProps::Commit() {
  // Dropping an entry frees the planes that no other set refers to.
  Files.remove_if([](const BitmapFileProps& file) { return file.Deleted; });
  for (BitmapFileProps& file : Files) file.Commit();
  ResolveUses();
}

void BitmapsProps::Rollback() {
  for (BitmapFileProps& file : Files) file.Rollback();
}

const BitmapFileProps* BitmapsProps::FindFile(const std::string& name) const {
  for (const BitmapFileProps& file : Files) {
    if (!file.Deleted && file.Name == name) return &file;
  }
  return nullptr;
}

BitmapFileProps* BitmapsProps::FindFile(const std::string& name) {
  return const_cast<BitmapFileProps*>(std::as_const(*this).FindFile(name));
}

std::vector<std::string> BitmapsProps::FileNames() const {
  std::vector<std::string> names;
  for (const BitmapFileProps& file : Files) {
    if (!file.Deleted) names.push_back(file.Name);
  }
  return names;
}

BitmapsProps::FileIterator BitmapsProps::FirstFile() {
  return std::find_if(Files.begin(), Files.end(), [](const auto& f) { return !f.Deleted; });
}

BitmapsProps::FileIterator BitmapsProps::LastFile() {
  for (auto it = Files.end(); it != Files.begin();) {
    if (!(--it)->Deleted) return it;
  }
  return Files.end();
}

BitmapsProps::FileIterator BitmapsProps::NextFile(FileIterator it) {
  if (it == Files.end()) return it;
  return std::find_if(std::next(it), Files.end(), [](const auto& f) { return !f.Deleted; });
}

BitmapsProps::FileIterator BitmapsProps::PrevFile(FileIterator it) {
  while (it != Files.begin()) {
    if (!(--it)->Deleted) return it;
  }
  return Files.end();
}
