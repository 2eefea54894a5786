#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

// Deterministic damage to valid XML texts for robustness tests: byte flips, insertions and
// deletions, truncation, swapped or repeated lines (elements), and absurd element texts.
class TextMutator {
 public:
  explicit TextMutator(std::uint32_t seed) : random_(seed) {}

  std::string Mutate(const std::string& text) {
    std::string out = text;
    const int steps = 1 + static_cast<int>(Below(3));
    for (int i = 0; i < steps && !out.empty(); ++i) MutateOnce(out);
    return out;
  }

 private:
  std::size_t Below(std::size_t n) {
    return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
  }

  void MutateOnce(std::string& s) {
    static const char kBytes[] = "<>/ ^%-+.,e0123456789ABCDEFZx\n\t\r\x80\xFF";
    switch (Below(8)) {
      case 0:
        s[Below(s.size())] ^= static_cast<char>(1u << Below(8));
        break;
      case 1:
        s.insert(s.begin() + static_cast<std::ptrdiff_t>(Below(s.size() + 1)),
                 kBytes[Below(sizeof kBytes - 1)]);
        break;
      case 2:
        s.erase(Below(s.size()), 1 + Below(4));
        break;
      case 3:
        s.resize(Below(s.size()));
        break;
      case 4:
        SwapLines(s, false);
        break;
      case 5:
        SwapLines(s, true);
        break;
      default:
        ReplaceText(s);
        break;
    }
  }

  // Swaps two lines, or repeats one line after another (repeat).
  void SwapLines(std::string& s, bool repeat) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < s.size()) {
      std::size_t end = s.find('\n', start);
      end = end == std::string::npos ? s.size() : end + 1;
      lines.push_back(s.substr(start, end - start));
      start = end;
    }
    if (lines.size() < 5) return;
    // Keep the two head lines, which the reader skips anyway.
    const std::size_t a = 2 + Below(lines.size() - 2);
    const std::size_t b = 2 + Below(lines.size() - 2);
    if (repeat) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(b), lines[a]);
    } else {
      std::swap(lines[a], lines[b]);
    }
    s.clear();
    for (const auto& line : lines) s += line;
  }

  // Replaces the text of a random text element with an absurd value.
  void ReplaceText(std::string& s) {
    static const char* const kTexts[] = {
        "1e+999", "-1e+999", "99999999999999999999", "-0", "0", "1/3", "1/0", "nan", "inf",
        "0x", "FFFFFFFFFF", "-1", "100 %", "101 %", "1e-320", "4294967296", "2147483648",
        "-2147483649", "", " ", "^", "50 DB", "12 #", "1 octave", "-3 '"};
    const std::size_t open = s.find('>', Below(s.size()));
    if (open == std::string::npos) return;
    const std::size_t close = s.find('<', open);
    if (close == std::string::npos || s.find('\n', open) < close) return;
    const std::size_t pick = Below(std::size(kTexts) + 1);
    const std::string replacement =
        pick < std::size(kTexts) ? std::string(kTexts[pick]) : std::string(300, '9');
    s.replace(open + 1, close - open - 1, replacement);
  }

  std::mt19937 random_;
};
