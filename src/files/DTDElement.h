#pragma once

#include <string>

#include "files/DTDItem.h"

// A grammar item that matches one named element.
class TDTDElement : public TDTDItem {
 public:
  const std::string& GetName() const;
  bool CanBeEmpty() const override;

  // Expects the end tag of this element at cursor; every failure is committed.
  bool ParseEnd(const TXMLToken*& cursor, std::string& error, bool& committed) const;

 protected:
  explicit TDTDElement(std::string name);

 private:
  std::string name_;
};

// An element holding other elements: <Name> content </Name>, or <Name /> when the content can be
// empty. A document grammar is a compound; parsed with the cursor on the head token, it steps
// past the head first.
class TDTDCompound : public TDTDElement {
 public:
  TDTDCompound(std::string name, DTDPtr content);
  bool Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
             bool& committed) const override;

 private:
  bool ParseEmptyElement(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
                         bool& committed) const;

  DTDPtr content_;
};

// An element holding text: <Name>text</Name>, and also <Name></Name> (empty text) when
// mayBeEmpty. The text is stored unescaped.
class TDTDContentText : public TDTDElement {
 public:
  TDTDContentText(std::string name, bool mayBeEmpty);
  bool Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
             bool& committed) const override;

 private:
  bool ParseText(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
                 bool& committed) const;

  bool mayBeEmpty_;
};
