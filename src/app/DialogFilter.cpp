#include "app/DialogFilter.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1) {
    parts.push_back(text.substr(start, at - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::vector<std::string> NameFilters(const std::string& filter) {
  std::vector<std::string> result;
  if (filter.empty()) return result;
  const std::vector<std::string> parts = Split(filter, '|');
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    std::string label = parts[i];
    const std::size_t open = label.rfind(" (");
    if (open != std::string::npos && label.back() == ')') label = label.substr(0, open);
    std::string patterns;
    const std::string source = i + 1 < parts.size() ? parts[i + 1] : "*";
    for (const std::string& pattern : Split(source, ';')) {
      const std::string p = Trimmed(pattern) == "*.*" ? "*" : Trimmed(pattern);
      if (p.empty()) continue;
      patterns += (patterns.empty() ? "" : " ") + p;
    }
    result.push_back(Trimmed(label) + " (" + patterns + ")");
  }
  return result;
}
