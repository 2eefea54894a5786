#include "files/DTDElement.h"

#include <utility>

#include "common/Assert.h"
#include "files/XMLText.h"

namespace {

// The kind of the token at cursor. A grammar never meets an error token, because the tokenizer
// returns no list when it found one, nor the head outside a document compound.
XMLTokenKind KindAt(const TXMLToken* cursor) {
  KORVANA_ASSERT(cursor != nullptr);
  const XMLTokenKind xmlTokenKind = cursor->TokenKind;
  KORVANA_ASSERT(xmlTokenKind != xmlTokenError);
  KORVANA_ASSERT(xmlTokenKind != xmlTokenHead);
  return xmlTokenKind;
}

// Steps past the token at cursor; the list never ends before its xmlTokenEof token.
void Advance(const TXMLToken*& cursor) {
  KORVANA_ASSERT(cursor->next != nullptr);
  cursor = cursor->next.get();
}

std::string Position(const TXMLToken& token) {
  return " at line " + std::to_string(token.line) + ", column " + std::to_string(token.column) +
         ".";
}

// Names and texts from the file, with control bytes shown escaped.
std::string Quoted(const std::string& text) { return "\"" + ShownText(text) + "\""; }

// "unexpected ..." naming the token, the start of most messages.
std::string Unexpected(const TXMLToken& token) {
  switch (token.TokenKind) {
    case xmlTokenAttr:
      return "unexpected text " + Quoted(token.text);
    case xmlTokenBegin:
      return "unexpected begin of element " + Quoted(token.name);
    case xmlTokenEnd:
      return "unexpected end of element " + Quoted(token.name);
    case xmlTokenEmpty:
      return "unexpected empty element " + Quoted(token.name);
    default:
      return "unexpected end-of-file";
  }
}

bool Failure(std::string& error, bool& committed, std::string message, bool isCommitted) {
  error = std::move(message);
  committed = isCommitted;
  return false;
}

}  // namespace

TDTDElement::TDTDElement(std::string name) : name_(std::move(name)) {}

const std::string& TDTDElement::GetName() const { return name_; }

bool TDTDElement::CanBeEmpty() const { return false; }

bool TDTDElement::ParseEnd(const TXMLToken*& cursor, std::string& error, bool& committed) const {
  const XMLTokenKind kind = KindAt(cursor);
  const TXMLToken& token = *cursor;
  if (kind == xmlTokenEnd && token.name == name_) {
    Advance(cursor);
    return true;
  }
  if (kind == xmlTokenEnd) {
    return Failure(error, committed,
                   "end of element " + Quoted(token.name) + " does not match begin of element " +
                       Quoted(name_) + "," + Position(token),
                   true);
  }
  return Failure(
      error, committed,
      Unexpected(token) + ", expect end of element " + Quoted(name_) + "," + Position(token), true);
}

TDTDCompound::TDTDCompound(std::string name, DTDPtr content)
    : TDTDElement(std::move(name)), content_(std::move(content)) {
  KORVANA_ASSERT(content_ != nullptr);
}

bool TDTDCompound::Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
                         bool& committed) const {
  if (cursor != nullptr && cursor->TokenKind == xmlTokenHead) Advance(cursor);
  const XMLTokenKind kind = KindAt(cursor);
  const TXMLToken& token = *cursor;
  const bool named = (kind == xmlTokenBegin || kind == xmlTokenEmpty) && token.name == GetName();
  if (kind == xmlTokenEmpty && named) return ParseEmptyElement(parent, cursor, error, committed);
  if (!named) {
    // A wrong tag may belong to an alternative; text or the end of the file cannot.
    const bool isCommitted = kind == xmlTokenAttr || kind == xmlTokenEof;
    return Failure(error, committed,
                   Unexpected(token) + ", expect begin of element " + Quoted(GetName()) + "," +
                       Position(token),
                   isCommitted);
  }
  Advance(cursor);
  auto element = std::make_unique<TXMLComplexElement>(GetName());
  element->line = token.line;
  element->column = token.column;
  if (!content_->Parse(*element, cursor, error, committed)) {
    committed = true;
    return false;
  }
  parent.AddElement(std::move(element));
  return ParseEnd(cursor, error, committed);
}

bool TDTDCompound::ParseEmptyElement(TXMLComplexElement& parent, const TXMLToken*& cursor,
                                     std::string& error, bool& committed) const {
  const TXMLToken& token = *cursor;
  if (!content_->CanBeEmpty()) {
    return Failure(error, committed,
                   "element " + Quoted(GetName()) + " should not be empty," + Position(token),
                   true);
  }
  Advance(cursor);
  TXMLComplexElement& element = parent.AddComplex(GetName());
  element.line = token.line;
  element.column = token.column;
  return true;
}

TDTDContentText::TDTDContentText(std::string name, bool mayBeEmpty)
    : TDTDElement(std::move(name)), mayBeEmpty_(mayBeEmpty) {}

bool TDTDContentText::Parse(TXMLComplexElement& parent, const TXMLToken*& cursor,
                            std::string& error, bool& committed) const {
  const XMLTokenKind kind = KindAt(cursor);
  const TXMLToken& token = *cursor;
  if (kind == xmlTokenBegin && token.name == GetName()) {
    return ParseText(parent, cursor, error, committed);
  }
  // A wrong tag may belong to an alternative; text or the end of the file cannot.
  const bool isCommitted = kind == xmlTokenAttr || kind == xmlTokenEof;
  return Failure(
      error, committed,
      Unexpected(token) + ", expect begin of element " + Quoted(GetName()) + "." + Position(token),
      isCommitted);
}

// The cursor is on the begin tag of this element.
bool TDTDContentText::ParseText(TXMLComplexElement& parent, const TXMLToken*& cursor,
                                std::string& error, bool& committed) const {
  const TXMLToken& begin = *cursor;
  Advance(cursor);
  const XMLTokenKind kind = KindAt(cursor);
  const TXMLToken& token = *cursor;
  if (kind != xmlTokenAttr && !(kind == xmlTokenEnd && mayBeEmpty_)) {
    return Failure(error, committed, Unexpected(token) + ", expect text," + Position(begin), true);
  }
  TXMLStringElement& element =
      parent.AddString(GetName(), kind == xmlTokenAttr ? UnescapeText(token.text) : std::string());
  element.line = begin.line;
  element.column = begin.column;
  if (kind == xmlTokenAttr) Advance(cursor);
  return ParseEnd(cursor, error, committed);
}
