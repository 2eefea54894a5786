#pragma once

#include <string>

#include "values/RangeRule.h"
#include "values/UnitKind.h"

class Interaction;
class TXMLComplexElement;
class TXMLItem;

// Common interface of the typed value objects: a number with the unit it was last entered in
// and the range rule of its class. Each class formats and parses its own text, checks its range
// and reads and writes its own XML text element. Errors are one line: "In " + label + ": " +
// reason. Copying copies number, unit and range rule.
class unitValue {
 public:
  virtual ~unitValue() = default;

  // The display text (dialogs, status bar).
  virtual std::string ToText() const = 0;
  // The text written to files: parsing it gives the same number again. The display text unless
  // a class needs more digits than it shows.
  virtual std::string ToFileText() const { return ToText(); }

  // Does nothing when valid is already false (so a dialog shows only its first error); else
  // parses text and, on failure, shows the message in an "Input Error" box and sets valid false.
  void SetTextChecked(bool& valid, const std::string& text, const std::string& label,
                      Interaction& ui);
  // The same without the box.
  void SetTextQuiet(bool& valid, const std::string& text);

  // Parses and range-checks text; on success stores number and unit. On failure sets message to
  // "In " + label + ": " + reason and leaves the value unchanged.
  virtual bool Parse(const std::string& text, const std::string& label, std::string& message) = 0;

  // Appends a text element `name` holding ToFileText() to parent.
  void WriteXML(TXMLComplexElement& parent, const std::string& name) const;
  // Sets line and column to the element's, then parses its text with the element name as label.
  // An element without text fails with a message instead of reaching a fatal assertion.
  virtual bool ReadXML(const TXMLItem& element, std::string& message, int& line, int& column);

  EUnitKind GetUnit() const { return unit_; }
  ERangeRule GetRangeRule() const { return rule_; }

 protected:
  unitValue(EUnitKind unit, ERangeRule rule) : unit_(unit), rule_(rule) {}
  unitValue(const unitValue&) = default;
  unitValue& operator=(const unitValue&) = default;

  // "In " + label + ": " + reason.
  static std::string ErrorMessage(const std::string& label, const std::string& reason);

  EUnitKind unit_;
  ERangeRule rule_;
};
