#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "files/XMLToken.h"

// The state machine that reads one token at a time from the bytes after the two skipped lines,
// counting lines and columns as it goes. The bytes must outlive the tokenizer.
class TXMLTokenizer {
 public:
  // Counting starts at line 3, column 1 (the first two lines were skipped).
  explicit TXMLTokenizer(std::string_view bytes);

  // Reads the next token: a tag, trimmed text, xmlTokenEof at the end of the input or an
  // xmlTokenError token with its message. Reading after an Eof or Error token is not meaningful.
  std::unique_ptr<TXMLToken> ReadToken();

 private:
  enum class CharClass { Space, Letter, Digit, Slash, Open, Close, End, Other };
  enum class State {
    Start,
    InText,
    TagOpen,
    BeginName,
    BeginAfter,
    EmptyClose,
    EndOpen,
    EndName,
    EndAfter
  };
  // What one character did to the token being read.
  enum class Step { Continue, Emit, Fail };
  struct Char {
    CharClass cls;
    char byte;
  };

  Char Read();
  void PushBack();
  static CharClass Classify(unsigned char byte);
  static void Append(std::string& to, char byte);

  static Step StepText(State& state, Char c, TXMLToken& token, bool& pushBack);
  static Step StepBegin(State& state, Char c, TXMLToken& token);
  static Step StepEnd(State& state, Char c, TXMLToken& token);

  void Finish(TXMLToken& token);
  void Fail(TXMLToken& token, Char c);

  std::string_view bytes_;
  std::size_t pos_ = 0;
  int line_ = 3;
  int column_ = 1;
};
