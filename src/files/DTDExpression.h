#pragma once

#include "files/DTDItem.h"

// The combinators of grammars: they build no elements of their own.
class TDTDExpression : public TDTDItem {};

// Matches no tokens.
class TDTDEmpty : public TDTDExpression {
 public:
  bool CanBeEmpty() const override;
  bool Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
             bool& committed) const override;
};

// first, then second; the failure of either is passed on unchanged.
class TDTDConcat : public TDTDExpression {
 public:
  TDTDConcat(DTDPtr first, DTDPtr second);
  bool CanBeEmpty() const override;
  bool Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
             bool& committed) const override;

 private:
  DTDPtr first_;
  DTDPtr second_;
};

// first, or else (when first failed without committing) second, from the same place. The
// message of a failure reads
// "Try choices( first choice: " + message1 + ", Second choice: " + message2 + ")".
class TDTDChoice : public TDTDExpression {
 public:
  TDTDChoice(DTDPtr first, DTDPtr second);
  bool CanBeEmpty() const override;
  bool Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
             bool& committed) const override;

 private:
  DTDPtr first_;
  DTDPtr second_;
};

// sub or nothing: an uncommitted failure of sub restores the cursor and the parent's children.
class TDTDOptional : public TDTDExpression {
 public:
  explicit TDTDOptional(DTDPtr sub);
  bool CanBeEmpty() const override;
  bool Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
             bool& committed) const override;

 private:
  DTDPtr sub_;
};

// sub as often as it matches (zero times or more); the first uncommitted failure restores what
// that last attempt consumed and ends the repetition. Loops rather than recursing, so very many
// repetitions cost no stack. A sub that matches without consuming a token ends it too.
class TDTDRepeatMin0 : public TDTDExpression {
 public:
  explicit TDTDRepeatMin0(DTDPtr sub);
  bool CanBeEmpty() const override;
  bool Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
             bool& committed) const override;

 private:
  DTDPtr sub_;
};
