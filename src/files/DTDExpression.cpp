#include "files/DTDExpression.h"

#include <utility>

#include "common/Assert.h"

bool TDTDEmpty::CanBeEmpty() const { return true; }

bool TDTDEmpty::Parse(TXMLComplexElement&, const TXMLToken*&, std::string&, bool&) const {
  return true;
}

TDTDConcat::TDTDConcat(DTDPtr first, DTDPtr second)
    : first_(std::move(first)), second_(std::move(second)) {
  KORVANA_ASSERT(first_ != nullptr && second_ != nullptr);
}

bool TDTDConcat::CanBeEmpty() const { return first_->CanBeEmpty() && second_->CanBeEmpty(); }

bool TDTDConcat::Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
                       bool& committed) const {
  return first_->Parse(parent, cursor, error, committed) &&
         second_->Parse(parent, cursor, error, committed);
}

TDTDChoice::TDTDChoice(DTDPtr first, DTDPtr second)
    : first_(std::move(first)), second_(std::move(second)) {
  KORVANA_ASSERT(first_ != nullptr && second_ != nullptr);
}

bool TDTDChoice::CanBeEmpty() const { return first_->CanBeEmpty() || second_->CanBeEmpty(); }

bool TDTDChoice::Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
                       bool& committed) const {
  const TXMLToken* savedCursor = cursor;
  TXMLItem* savedLast = parent.GetLastElement();
  std::string message;
  error = "Try choices( first choice: ";
  if (first_->Parse(parent, cursor, message, committed)) return true;
  error += message + ", Second choice: ";
  if (committed) return false;
  cursor = savedCursor;
  parent.RemoveElementsAfter(savedLast);
  if (second_->Parse(parent, cursor, message, committed)) return true;
  error += message + ")";
  return false;
}

TDTDOptional::TDTDOptional(DTDPtr sub) : sub_(std::move(sub)) { KORVANA_ASSERT(sub_ != nullptr); }

bool TDTDOptional::CanBeEmpty() const { return true; }

bool TDTDOptional::Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
                         bool& committed) const {
  const TXMLToken* savedCursor = cursor;
  TXMLItem* savedLast = parent.GetLastElement();
  if (sub_->Parse(parent, cursor, error, committed)) return true;
  if (committed) return false;
  cursor = savedCursor;
  parent.RemoveElementsAfter(savedLast);
  return true;
}

TDTDRepeatMin0::TDTDRepeatMin0(DTDPtr sub) : sub_(std::move(sub)) {
  KORVANA_ASSERT(sub_ != nullptr);
}

bool TDTDRepeatMin0::CanBeEmpty() const { return true; }

bool TDTDRepeatMin0::Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
                           bool& committed) const {
  for (;;) {
    const TXMLToken* savedCursor = cursor;
    TXMLItem* savedLast = parent.GetLastElement();
    if (!sub_->Parse(parent, cursor, error, committed)) {
      if (committed) return false;
      cursor = savedCursor;
      parent.RemoveElementsAfter(savedLast);
      return true;
    }
    // A match that consumed nothing would match again forever; it also built nothing.
    if (cursor == savedCursor) return true;
  }
}
