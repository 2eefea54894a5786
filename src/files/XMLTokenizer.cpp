#include "files/XMLTokenizer.h"

#include <string>

#include "files/XMLText.h"

TXMLTokenizer::TXMLTokenizer(std::string_view bytes) : bytes_(bytes) {}

TXMLTokenizer::CharClass TXMLTokenizer::Classify(unsigned char byte) {
  if (byte == ' ' || byte == '\t' || byte == '\n') return CharClass::Space;
  if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z')) return CharClass::Letter;
  if (byte >= '0' && byte <= '9') return CharClass::Digit;
  if (byte == '/') return CharClass::Slash;
  if (byte == '<') return CharClass::Open;
  if (byte == '>') return CharClass::Close;
  return CharClass::Other;
}

// Reads one byte and counts it: a line feed starts a new line, the other bytes of the classes
// Space to Close advance the column, and Other bytes (carriage return, bytes 128-255, ...) and
// the end of the input leave the counters alone.
TXMLTokenizer::Char TXMLTokenizer::Read() {
  if (pos_ >= bytes_.size()) return {CharClass::End, '\0'};
  const char byte = bytes_[pos_++];
  const CharClass cls = Classify(static_cast<unsigned char>(byte));
  if (byte == '\n') {
    ++line_;
    column_ = 1;
  } else if (cls != CharClass::Other) {
    ++column_;
  }
  return {cls, byte};
}

// Puts the last byte back; it is read and counted again by the next token.
void TXMLTokenizer::PushBack() { --pos_; }

void TXMLTokenizer::Append(std::string& to, char byte) {
  to += (byte == '\t' || byte == '\n' || byte == '\r') ? ' ' : byte;
}

std::unique_ptr<TXMLToken> TXMLTokenizer::ReadToken() {
  auto token = std::make_unique<TXMLToken>();
  State state = State::Start;
  for (;;) {
    const Char c = Read();
    bool pushBack = false;
    Step step;
    switch (state) {
      case State::Start:
      case State::InText:
        step = StepText(state, c, *token, pushBack);
        break;
      case State::TagOpen:
      case State::BeginName:
      case State::BeginAfter:
      case State::EmptyClose:
        step = StepBegin(state, c, *token);
        break;
      default:
        step = StepEnd(state, c, *token);
        break;
    }
    if (pushBack) PushBack();
    if (step == Step::Emit) {
      Finish(*token);
      return token;
    }
    if (step == Step::Fail) {
      Fail(*token, c);
      return token;
    }
  }
}

TXMLTokenizer::Step TXMLTokenizer::StepText(State& state, Char c, TXMLToken& token,
                                            bool& pushBack) {
  switch (c.cls) {
    case CharClass::Space:
      if (state == State::InText) Append(token.text, c.byte);
      return Step::Continue;
    case CharClass::Letter:
    case CharClass::Digit:
    case CharClass::Other:
    case CharClass::Slash:
      Append(token.text, c.byte);
      state = State::InText;
      return Step::Continue;
    case CharClass::Open:
      if (state == State::Start) {
        state = State::TagOpen;
        return Step::Continue;
      }
      pushBack = true;
      token.TokenKind = xmlTokenAttr;
      return Step::Emit;
    case CharClass::End:
      if (state == State::InText) return Step::Fail;
      token.TokenKind = xmlTokenEof;
      return Step::Emit;
    case CharClass::Close:
      break;
  }
  return Step::Fail;
}

TXMLTokenizer::Step TXMLTokenizer::StepBegin(State& state, Char c, TXMLToken& token) {
  const bool nameChar = c.cls == CharClass::Letter || c.cls == CharClass::Digit;
  if (c.cls == CharClass::Space) {
    if (state == State::BeginName) state = State::BeginAfter;
    return Step::Continue;
  }
  switch (state) {
    case State::TagOpen:
      if (nameChar) {
        Append(token.name, c.byte);
        state = State::BeginName;
        return Step::Continue;
      }
      if (c.cls != CharClass::Slash) return Step::Fail;
      state = State::EndOpen;
      return Step::Continue;
    case State::BeginName:
      if (nameChar) {
        Append(token.name, c.byte);
        return Step::Continue;
      }
      [[fallthrough]];
    case State::BeginAfter:
      if (c.cls == CharClass::Slash) {
        state = State::EmptyClose;
        return Step::Continue;
      }
      if (c.cls != CharClass::Close) return Step::Fail;
      token.TokenKind = xmlTokenBegin;
      return Step::Emit;
    default:  // EmptyClose
      if (c.cls != CharClass::Close) return Step::Fail;
      token.TokenKind = xmlTokenEmpty;
      return Step::Emit;
  }
}

TXMLTokenizer::Step TXMLTokenizer::StepEnd(State& state, Char c, TXMLToken& token) {
  const bool nameChar = c.cls == CharClass::Letter || c.cls == CharClass::Digit;
  if (c.cls == CharClass::Space) {
    if (state == State::EndName) state = State::EndAfter;
    return Step::Continue;
  }
  if (nameChar && state != State::EndAfter) {
    Append(token.name, c.byte);
    state = State::EndName;
    return Step::Continue;
  }
  if (c.cls == CharClass::Close && state != State::EndOpen) {
    token.TokenKind = xmlTokenEnd;
    return Step::Emit;
  }
  return Step::Fail;
}

namespace {

// Removes leading and trailing bytes with codes 0 to 32; inner runs stay.
std::string Trimmed(const std::string& text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

void TXMLTokenizer::Finish(TXMLToken& token) {
  --column_;
  token.line = line_;
  token.column = column_;
  if (token.TokenKind == xmlTokenAttr) token.text = Trimmed(token.text);
}

void TXMLTokenizer::Fail(TXMLToken& token, Char c) {
  --column_;
  token.TokenKind = xmlTokenError;
  token.line = line_;
  token.column = column_;
  const std::string what = c.cls == CharClass::End
                               ? std::string("end-of-file ")
                               : "'" + ShownText(std::string_view(&c.byte, 1)) + "'";
  token.error = "unexpected " + what + " found in line " + std::to_string(line_) + ", column " +
                std::to_string(column_) + ".";
}
