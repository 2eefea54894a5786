#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Kinds of tokens of the program's XML dialect (stored values).
enum XMLTokenKind : std::uint8_t {
  xmlTokenAttr = 0,   // character data between tags, trimmed
  xmlTokenBegin = 1,  // <Name>
  xmlTokenEnd = 2,    // </Name>
  xmlTokenEmpty = 3,  // <Name/>
  xmlTokenEof = 4,    // end of file outside a tag or text
  xmlTokenError = 5,  // a lexical error; error holds the message
  xmlTokenHead = 6,   // the head record of a token list
};

// One token of a token list. The head record (xmlTokenHead) owns the whole list through next;
// destroying a token destroys the rest of its list iteratively, so long lists cannot exhaust the
// stack.
struct TXMLToken {
  TXMLToken() = default;
  ~TXMLToken();
  TXMLToken(const TXMLToken&) = delete;
  TXMLToken& operator=(const TXMLToken&) = delete;

  XMLTokenKind TokenKind = xmlTokenHead;
  std::string name;   // element name of a begin, end or empty-element token
  std::string text;   // character data of an xmlTokenAttr token
  std::string error;  // message of an xmlTokenError token or of a failed head record
  int line = 0;       // line at which the token ended (the first line of the file is 1)
  int column = 0;     // column counter when the token ended
  std::unique_ptr<TXMLToken> next;

  // Checked accessors: asking the wrong kind of token is a programming error (fatal assertion).
  const std::string& GetElement() const;
  const std::string& GetText() const;
  const std::string& GetError() const;
};

// Files larger than this are refused before tokenizing: the program's files are a few kilobytes,
// and a token list costs far more memory than the bytes it comes from.
inline constexpr std::size_t kMaxXMLFileBytes = std::size_t{8} << 20;

// Tokenizes a whole file, skipping its first two lines (prolog and DOCTYPE). A file of nothing
// but blanks and line ends fails with "file is empty.". Afterwards
// head.TokenKind is xmlTokenHead (head.next is the list, ending with an xmlTokenEof token) or
// xmlTokenError (head.error holds the one message, no list). version receives the text of the
// last <Version> begin tag directly followed by text; it is left unchanged when there is none.
void ReadXMLTokens(TXMLToken& head, const std::string& fileName, std::string& version);

// The same for bytes already in memory.
void ReadXMLTokensFromBytes(TXMLToken& head, std::string_view bytes, std::string& version);
