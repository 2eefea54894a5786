#pragma once

#include <regex>
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
    static const std::regex pattern(
        R"re(In Grafisch/DlgColorPalette1D line [0-9]+: Condition "(.*)"failed!)re");
    std::vector<std::string> conditions;
    for (const auto& box : ui.shown) {
      std::smatch match;
      if (box.title == "Assertion failed" && std::regex_match(box.text, match, pattern)) {
        conditions.push_back(match[1]);
      } else {
        conditions.push_back("<other: " + box.text + ">");
      }
    }
    return conditions;
  }

  ScriptedInteraction ui;
};
