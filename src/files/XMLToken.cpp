#include "files/XMLToken.h"


#include "common/Assert.h"
#include "common/SafeFile.h"
#include "files/XMLTokenizer.h"

TXMLToken::~TXMLToken() {
  // Unlink one token at a time: each one dies with an empty next, so no recursion.
  std::unique_ptr<TXMLToken> rest = std::move(next);
  while (rest) rest = std::move(rest->next);
}

const std::string& TXMLToken::GetElement() const {
  KORVANA_ASSERT(TokenKind == xmlTokenBegin || TokenKind == xmlTokenEnd ||
                 TokenKind == xmlTokenEmpty);
  return name;
}

const std::string& TXMLToken::GetText() const {
  KORVANA_ASSERT(TokenKind == xmlTokenAttr);
  return text;
}

const std::string& TXMLToken::GetError() const {
  KORVANA_ASSERT(TokenKind == xmlTokenError);
  return error;
}

namespace {

// Reads the bytes as a text-mode stream would deliver them: a carriage return directly before a
// line feed is dropped, so files with either line ending read alike. A lone carriage return stays.
std::string TextModeBytes(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

// Skips one line as a line reader with room for 98 characters does: it stops after a line feed
// or after 98 characters, whichever comes first, so the rest of a longer line is the next line.
std::size_t SkipLine(std::string_view text, std::size_t pos) {
  constexpr std::size_t kLineReaderCharacters = 98;
  for (std::size_t taken = 0; pos < text.size() && taken < kLineReaderCharacters; ++taken) {
    if (text[pos++] == '\n') break;
  }
  return pos;
}

bool IsVersionBegin(const TXMLToken* token) {
  return token != nullptr && token->TokenKind == xmlTokenBegin && token->name == "Version";
}

void Fail(TXMLToken& head, std::string message) {
  head.TokenKind = xmlTokenError;
  head.error = std::move(message);
}

std::string TooLargeMessage() {
  return "file is too large (more than " + std::to_string(kMaxXMLFileBytes >> 20) + " MiB).";
}

// Reads at most kMaxXMLFileBytes of a regular file; FIFOs, devices and folders are refused
// without blocking, so nothing can make a reader wait or read forever.
bool ReadLimited(const std::string& fileName, std::string& bytes, std::string& error) {
  std::string reason;
  FileFailure failure = FileFailure::None;
  if (ReadWholeFile(fileName, bytes, reason, kMaxXMLFileBytes, &failure)) return true;
  switch (failure) {
    case FileFailure::TooLarge: error = TooLargeMessage(); break;
    default: error = "cannot open file."; break;
  }
  return false;
}

}  // namespace

void ReadXMLTokensFromBytes(TXMLToken& head, std::string_view bytes, std::string& version) {
  head.next.reset();
  head.TokenKind = xmlTokenHead;
  head.error = "Unknown Error";
  if (bytes.size() > kMaxXMLFileBytes) {
    Fail(head, TooLargeMessage());
    return;
  }
  if (bytes.find_first_not_of(" \t\r\n") == std::string_view::npos) {
    Fail(head, "file is empty.");
    return;
  }
  const std::string text = TextModeBytes(bytes);
  TXMLTokenizer tokenizer(std::string_view(text).substr(SkipLine(text, SkipLine(text, 0))));
  std::unique_ptr<TXMLToken> first;
  TXMLToken* last = nullptr;
  for (;;) {
    std::unique_ptr<TXMLToken> token = tokenizer.ReadToken();
    const XMLTokenKind kind = token->TokenKind;
    if (kind == xmlTokenError) {
      Fail(head, token->error);
      return;  // first and its list die here
    }
    if (kind == xmlTokenAttr && IsVersionBegin(last)) version = token->text;
    TXMLToken* appended = token.get();
    (last == nullptr ? first : last->next) = std::move(token);
    last = appended;
    if (kind == xmlTokenEof) break;
  }
  head.next = std::move(first);
}

void ReadXMLTokens(TXMLToken& head, const std::string& fileName, std::string& version) {
  std::string bytes;
  std::string error;
  if (!ReadLimited(fileName, bytes, error)) {
    head.next.reset();
    Fail(head, error);
    return;
  }
  ReadXMLTokensFromBytes(head, bytes, version);
}
