#pragma once

#include <memory>
#include <string>

#include "files/XMLItem.h"
#include "files/XMLToken.h"

// One item of a grammar of the program's XML dialect. Grammars are built once, are immutable and
// share their parts by reference (DTDPtr), so one grammar can be used by several threads.
class TDTDItem {
 public:
  virtual ~TDTDItem();

  // True when the item can match no tokens at all.
  virtual bool CanBeEmpty() const = 0;

  // Tries to match the item at cursor and returns true on a match, with cursor advanced past the
  // matched tokens and the built elements appended to parent. On failure sets error to the one
  // message and committed to true when the failure came after input was consumed (then no
  // alternative may be tried); cursor and parent may then hold partial progress, which the
  // backtracking combinators undo. After a success, committed and error carry no meaning.
  // The token list must come from a successful tokenization (it holds no error token and ends
  // with xmlTokenEof).
  virtual bool Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
                     bool& committed) const = 0;

 protected:
  TDTDItem() = default;
};

using DTDPtr = std::shared_ptr<const TDTDItem>;
