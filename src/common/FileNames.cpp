#include "common/FileNames.h"

#include <algorithm>
#include <string_view>

bool PathOfPathFile(const std::string& pathFile, std::string& path, std::string& file,
                    std::string& message) {
  std::size_t slash = pathFile.rfind('/');
  if (slash == std::string::npos) {
    message = "Function PathOfPathFile: PathFile (\"" + pathFile + "\") has no path\".";
    return false;
  }
  path = pathFile.substr(0, slash);
  file = pathFile.substr(slash + 1);
  return true;
}

void SplitFileExtension(const std::string& fileName, std::string& name, std::string& extension) {
  std::size_t dot = fileName.rfind('.');
  std::size_t slash = fileName.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    name = fileName;
    extension.clear();
    return;
  }
  name = fileName.substr(0, dot);
  extension = fileName.substr(dot + 1);
}

bool IsAbsoluteFileName(const std::string& name) { return !name.empty() && name.front() == '/'; }

std::string FolderOfFile(const std::string& pathFile) {
  std::size_t slash = pathFile.rfind('/');
  return slash == std::string::npos ? std::string() : pathFile.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder + "/" + name;
}

std::string ResolveFileName(const std::string& documentFile, const std::string& name) {
  if (IsAbsoluteFileName(name) || documentFile.find('/') == std::string::npos) return name;
  return JoinPath(FolderOfFile(documentFile), name);
}

std::string MakeRelativeFileName(const std::string& documentFile, const std::string& file) {
  if (!IsAbsoluteFileName(documentFile) || !IsAbsoluteFileName(file)) return "";
  std::string_view d(documentFile);
  std::string_view f(file);
  d.remove_prefix(1);
  f.remove_prefix(1);
  // Walk down both names folder by folder while they agree.
  for (;;) {
    std::size_t g = d.find('/');
    std::size_t h = f.find('/');
    if (g == std::string_view::npos) return std::string(f);  // the document's own folder
    if (h == std::string_view::npos) return "";              // file lies above it
    if (d.substr(0, g) != f.substr(0, h)) return "";
    d.remove_prefix(g + 1);
    f.remove_prefix(h + 1);
  }
}

std::string NormalizeSeparators(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}
