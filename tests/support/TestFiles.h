#pragma once

#include <filesystem>
#include <string>

#include "common/SafeFile.h"

// The bytes of a file, "<unreadable>" when it cannot be read.
inline std::string FileBytes(const std::filesystem::path& file) {
  std::string bytes;
  std::string error;
  return ReadWholeFile(file.string(), bytes, error) ? bytes : "<unreadable>";
}
