#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "files/XMLText.h"
#include "files/XMLToken.h"

namespace {

using namespace std::string_literals;

const std::string kProlog =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE A SYSTEM \"A.dtd\">\n";

// One line per token: kind, name or text, line:column.
std::vector<std::string> Dump(const TXMLToken& head) {
  static const char* const kKinds[] = {"Attr", "Begin", "End", "Empty", "Eof", "Error", "Head"};
  std::vector<std::string> lines;
  for (const TXMLToken* t = head.next.get(); t != nullptr; t = t->next.get()) {
    const std::string& word = t->TokenKind == xmlTokenAttr ? "'" + t->text + "'" : t->name;
    lines.push_back(std::string(kKinds[t->TokenKind]) + " " + word + " " + std::to_string(t->line) +
                    ":" + std::to_string(t->column));
  }
  return lines;
}

struct Tokenized {
  TXMLToken head;
  std::string version = "none";
};

// Tokenizes a file whose body (from line 3 on) is body.
void Tokenize(Tokenized& out, const std::string& body) {
  ReadXMLTokensFromBytes(out.head, kProlog + body, out.version);
}

struct TokenCase {
  std::string body;
  std::vector<std::string> tokens;
};

// Test names: the body, control bytes escaped.
void PrintTo(const TokenCase& c, std::ostream* os) { *os << "body " << ShownText(c.body); }

class XMLTokenListTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(XMLTokenListTest, GivesTokensWithPositions) {
  Tokenized t;
  Tokenize(t, GetParam().body);
  ASSERT_EQ(t.head.TokenKind, xmlTokenHead) << t.head.error;
  EXPECT_EQ(Dump(t.head), GetParam().tokens);
}

// Every emitted token lowers the column counter by one for good, so later tokens of a line report
// one column less per token before them.
INSTANTIATE_TEST_SUITE_P(
    Bodies, XMLTokenListTest,
    ::testing::Values(
        TokenCase{"\n<A />", {"Empty A 4:5", "Eof  4:4"}},
        TokenCase{"<A>x  y</A>", {"Begin A 3:3", "Attr 'x  y' 3:7", "End A 3:10", "Eof  3:9"}},
        TokenCase{"<A>x\ny</A>", {"Begin A 3:3", "Attr 'x y' 4:2", "End A 4:5", "Eof  4:4"}},
        TokenCase{"<A>\t x\t\n</A>", {"Begin A 3:3", "Attr 'x' 4:1", "End A 4:4", "Eof  4:3"}},
        // Carriage return and bytes 128-255 are not counted; a lone carriage return is a blank.
        TokenCase{"<A>x\ry\xe9</A>",
                  {"Begin A 3:3", "Attr 'x y\xe9' 3:5", "End A 3:8", "Eof  3:7"}},
        TokenCase{"< A >< / A >< A / >",
                  {"Begin A 3:5", "End A 3:11", "Empty A 3:17", "Eof  3:16"}},
        TokenCase{"", {"Eof  3:0"}}, TokenCase{"  \n\n", {"Eof  5:0"}}));

TEST(XMLTokenTest, NameMayBeginWithADigit) {
  Tokenized t;
  Tokenize(t, "<1a2/></9>");
  ASSERT_EQ(t.head.TokenKind, xmlTokenHead) << t.head.error;
  EXPECT_EQ(Dump(t.head), (std::vector<std::string>{"Empty 1a2 3:6", "End 9 3:9", "Eof  3:8"}));
}

struct ErrorCase {
  std::string body;
  std::string message;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << "body " << ShownText(c.body); }

class XMLTokenErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(XMLTokenErrorTest, GivesOneMessageAndNoList) {
  Tokenized t;
  Tokenize(t, GetParam().body);
  EXPECT_EQ(t.head.TokenKind, xmlTokenError);
  EXPECT_EQ(t.head.error, GetParam().message);
  EXPECT_EQ(t.head.next, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, XMLTokenErrorTest,
    ::testing::Values(ErrorCase{"<A a=\"1\">", "unexpected 'a' found in line 3, column 4."},
                      ErrorCase{"<A>x>y</A>", "unexpected '>' found in line 3, column 4."},
                      ErrorCase{">", "unexpected '>' found in line 3, column 1."},
                      ErrorCase{"<A>x</A", "unexpected end-of-file  found in line 3, column 6."},
                      ErrorCase{"<A>x", "unexpected end-of-file  found in line 3, column 3."},
                      ErrorCase{"<A/>a/b", "unexpected end-of-file  found in line 3, column 6."},
                      ErrorCase{"<", "unexpected end-of-file  found in line 3, column 1."},
                      ErrorCase{"\n\n<!-- c -->", "unexpected '!' found in line 5, column 1."},
                      ErrorCase{"<?xml?>", "unexpected '?' found in line 3, column 1."},
                      // Control bytes are named escaped; a NUL does not end the message.
                      ErrorCase{"<A\r>", "unexpected '\\x0D' found in line 3, column 2."},
                      ErrorCase{"<A\x01>", "unexpected '\\x01' found in line 3, column 2."},
                      ErrorCase{"<A\0>"s, "unexpected '\\0' found in line 3, column 2."},
                      ErrorCase{"<A><</A>", "unexpected '<' found in line 3, column 4."},
                      ErrorCase{"</>", "unexpected '>' found in line 3, column 3."},
                      ErrorCase{"</A B>", "unexpected 'B' found in line 3, column 5."},
                      ErrorCase{"</A/>", "unexpected '/' found in line 3, column 4."},
                      ErrorCase{"<A B>", "unexpected 'B' found in line 3, column 4."},
                      ErrorCase{"<A/ x>", "unexpected 'x' found in line 3, column 5."},
                      ErrorCase{"<A//>", "unexpected '/' found in line 3, column 4."},
                      ErrorCase{"<A-B>", "unexpected '-' found in line 3, column 2."}));

TEST(XMLTokenTest, SkipsTwoLinesOfAtMost98Characters) {
  Tokenized t;
  // 97 characters and the line feed fill the line reader: the next line is the second one.
  ReadXMLTokensFromBytes(t.head, std::string(97, 'x') + "\n<!DOCTYPE>\n<A/>", t.version);
  EXPECT_EQ(Dump(t.head), (std::vector<std::string>{"Empty A 3:4", "Eof  3:3"}));
  // With 98 characters the line feed is left over and counts as the second line.
  ReadXMLTokensFromBytes(t.head, std::string(98, 'x') + "\n<!DOCTYPE>\n<A/>", t.version);
  EXPECT_EQ(t.head.TokenKind, xmlTokenError);
  EXPECT_EQ(t.head.error, "unexpected '!' found in line 3, column 1.");
  // A file of fewer than three lines is simply shorter.
  ReadXMLTokensFromBytes(t.head, "<?xml?>", t.version);
  EXPECT_EQ(Dump(t.head), (std::vector<std::string>{"Eof  3:0"}));
}

TEST(XMLTokenTest, ReadsWindowsLineEndingsLikeLineFeeds) {
  Tokenized unix, windows;
  const std::string body = "\n<A>\n  <B>x\n y</B>\n</A>\n";
  Tokenize(unix, body);
  std::string crlf;
  for (char c : kProlog + body) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ReadXMLTokensFromBytes(windows.head, crlf, windows.version);
  ASSERT_EQ(windows.head.TokenKind, xmlTokenHead) << windows.head.error;
  EXPECT_EQ(Dump(windows.head), Dump(unix.head));
}

TEST(XMLTokenTest, SniffsTheLastVersionBeginFollowedByText) {
  Tokenized t;
  Tokenize(t, "<D><Version> 1.0\n</Version><X><Version>2.1</Version></X><Version></Version></D>");
  EXPECT_EQ(t.version, "2.1");
  Tokenized none;
  Tokenize(none, "<D><Version></Version><Versions>3</Versions><V>Version</V></D>");
  EXPECT_EQ(none.version, "none");
}

TEST(XMLTokenTest, ReadsFilesAndReportsOpenFailures) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("korvana-xmltoken-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "a.kvf").string();
  std::ofstream(file, std::ios::binary) << kProlog << "<Version>2.0</Version>";
  Tokenized t;
  ReadXMLTokens(t.head, file, t.version);
  EXPECT_EQ(t.head.TokenKind, xmlTokenHead);
  EXPECT_EQ(t.version, "2.0");
  for (const std::string& bad : {(dir / "missing.kvf").string(), dir.string()}) {
    Tokenized failed;
    ReadXMLTokens(failed.head, bad, failed.version);
    EXPECT_EQ(failed.head.TokenKind, xmlTokenError) << bad;
    EXPECT_EQ(failed.head.error, "cannot open file.") << bad;
  }
  std::filesystem::remove_all(dir);
}

TEST(XMLTokenTest, RefusesInputOverTheSizeLimit) {
  Tokenized t;
  ReadXMLTokensFromBytes(t.head, std::string(kMaxXMLFileBytes + 1, ' '), t.version);
  EXPECT_EQ(t.head.TokenKind, xmlTokenError);
  EXPECT_EQ(t.head.error, "file is too large (more than 8 MiB).");
}

TEST(XMLTokenTest, RefusesAnEmptyFile) {
  for (const std::string bytes : {"", "\n", " \r\n\t\n  "}) {
    Tokenized t;
    ReadXMLTokensFromBytes(t.head, bytes, t.version);
    EXPECT_EQ(t.head.TokenKind, xmlTokenError) << bytes.size();
    EXPECT_EQ(t.head.error, "file is empty.") << bytes.size();
    EXPECT_EQ(t.version, "none");
  }
  // The two skipped lines alone are a file, if one without content.
  Tokenized prolog;
  ReadXMLTokensFromBytes(prolog.head, kProlog, prolog.version);
  EXPECT_EQ(Dump(prolog.head), (std::vector<std::string>{"Eof  3:0"}));
}

TEST(XMLTokenTest, ReusedHeadDropsItsOldListAndLongListsDieWithoutRecursion) {
  Tokenized t;
  std::string body;
  for (int i = 0; i < 200000; ++i) body += "<A/>";
  Tokenize(t, body);
  ASSERT_EQ(t.head.TokenKind, xmlTokenHead);
  Tokenize(t, ">");
  EXPECT_EQ(t.head.TokenKind, xmlTokenError);
  EXPECT_EQ(t.head.next, nullptr);
  Tokenize(t, body);  // destroyed with the head at the end of the test
}

TEST(XMLTokenDeathTest, AccessorsOfTheWrongKindAreFatal) {
  TXMLToken token;
  token.TokenKind = xmlTokenAttr;
  EXPECT_DEATH(token.GetElement(), "TokenKind == xmlTokenBegin");
  EXPECT_DEATH(token.GetError(), "TokenKind == xmlTokenError");
  token.TokenKind = xmlTokenBegin;
  EXPECT_DEATH(token.GetText(), "TokenKind == xmlTokenAttr");
}

}  // namespace
