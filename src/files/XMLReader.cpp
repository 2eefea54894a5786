#include "files/XMLReader.h"

#include "files/XMLToken.h"

namespace {

// Parses a token list that ReadXMLTokens* filled into head, with result.version already sniffed.
bool ParseTokens(const TXMLToken& head, const XMLGrammarFor& grammarFor, XMLParseResult& result,
                 std::string& error) {
  if (head.TokenKind == xmlTokenError) {
    error = head.error;
    return false;
  }
  const TDTDCompound* grammar = grammarFor(result.version, error);
  if (grammar == nullptr) return false;
  auto root = std::make_unique<TXMLComplexElement>("Root");
  const TXMLToken* cursor = &head;
  bool committed = false;
  if (!grammar->Parse(*root, cursor, error, committed)) return false;
  result.root = std::move(root);
  result.document = result.root->GetFirstElement();
  return true;
}

void Reset(XMLParseResult& result) {
  result.root.reset();
  result.document = nullptr;
  result.version.clear();
}

}  // namespace

bool ParseXMLFile(const std::string& fileName, const XMLGrammarFor& grammarFor,
                  XMLParseResult& result, std::string& error) {
  Reset(result);
  TXMLToken head;
  ReadXMLTokens(head, fileName, result.version);
  return ParseTokens(head, grammarFor, result, error);
}

bool ParseXMLBytes(std::string_view bytes, const XMLGrammarFor& grammarFor, XMLParseResult& result,
                   std::string& error) {
  Reset(result);
  TXMLToken head;
  ReadXMLTokensFromBytes(head, bytes, result.version);
  return ParseTokens(head, grammarFor, result, error);
}
