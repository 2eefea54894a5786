#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "files/DTDElement.h"
#include "files/XMLItem.h"

// The parsed tree of one file.
struct XMLParseResult {
  // The element "Root" that holds the document element; owns the whole tree.
  std::unique_ptr<TXMLComplexElement> root;
  // The document element (the first child of root), or nullptr when parsing failed.
  const TXMLItem* document = nullptr;
  // The sniffed text of the last <Version> element followed by text; empty when there is none.
  std::string version;
};

// Chooses the grammar of a file by its sniffed version. Returns nullptr and sets error to the
// caller's own message when the version is not supported. The grammar must outlive the parse.
using XMLGrammarFor =
    std::function<const TDTDCompound*(const std::string& version, std::string& error)>;

// Tokenizes fileName, asks grammarFor for the grammar of the sniffed version and parses the
// tokens against it. On success fills result and returns true. On failure returns false with the
// one message in error (the tokenizer's, grammarFor's or the parser's) and result.root empty.
// The tokens are destroyed before returning.
bool ParseXMLFile(const std::string& fileName, const XMLGrammarFor& grammarFor,
                  XMLParseResult& result, std::string& error);

// The same for bytes already in memory.
bool ParseXMLBytes(std::string_view bytes, const XMLGrammarFor& grammarFor, XMLParseResult& result,
                   std::string& error);
