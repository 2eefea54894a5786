#pragma once

#include <cctype>
#include <string>
#include <vector>

#include "ScriptedInteraction.h"
#include "common/Assert.h"

// Installs a scripted interaction for the non-fatal checks while it lives and turns the boxes
// shown into the conditions they name, checking the box title, unit and text pattern on the way.
class CheckRecorder {
 public:
  CheckRecorder() { korvana::SetCheckInteraction(&ui); }
  ~CheckRecorder() { korvana::SetCheckInteraction(nullptr); }
  CheckRecorder(const CheckRecorder&) = delete;
  CheckRecorder& operator=(const CheckRecorder&) = delete;

  // The conditions of the "Assertion failed" boxes of the palette unit, in order; a box of any
  // other kind or unit shows up as "<other: text>".
  std::vector<std::string> Conditions() const {
    std::vector<std::string> conditions;
    for (const auto& box : ui.shown) {
      const std::string condition = box.title == "Assertion failed" ? ConditionOf(box.text) : "";
      conditions.push_back(condition.empty() ? "<other: " + box.text + ">" : condition);
    }
    return conditions;
  }

  ScriptedInteraction ui;

 private:
  // The condition of "In Grafisch/DlgColorPalette1D line <digits>: Condition "<condition>"failed!",
  // "" for any other text.
  static std::string ConditionOf(const std::string& text) {
    const std::string head = "In Grafisch/DlgColorPalette1D line ";
    const std::string middle = ": Condition \"";
    const std::string tail = "\"failed!";
    if (text.rfind(head, 0) != 0 || text.size() < head.size() + tail.size()) return "";
    std::size_t at = head.size();
    const std::size_t digits = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
    if (at == digits || text.compare(at, middle.size(), middle) != 0) return "";
    at += middle.size();
    if (text.size() < at + tail.size() || text.compare(text.size() - tail.size(), tail.size(), tail)) {
      return "";
    }
    return text.substr(at, text.size() - tail.size() - at);
  }
};
