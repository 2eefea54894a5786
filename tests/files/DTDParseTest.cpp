#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/DTDBuilders.h"
#include "files/XMLToken.h"

namespace {

using namespace std::string_literals;

const std::string kProlog =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE A SYSTEM \"A.dtd\">\n";

// Compact form of a subtree: Name="text" or Name[children].
std::string Dump(const TXMLItem& item) {
  if (item.IsString()) return item.GetElement() + "=\"" + item.GetString() + "\"";
  std::string out = item.GetElement() + "[";
  for (const TXMLItem* child = item.GetFirstElement(); child != nullptr; child = child->next) {
    if (child != item.GetFirstElement()) out += ",";
    out += Dump(*child);
  }
  return out + "]";
}

std::string DumpToken(const TXMLToken* token) {
  static const char* const kKinds[] = {"Attr", "Begin", "End", "Empty", "Eof", "Error", "Head"};
  return std::string(kKinds[token->TokenKind]) + " " + token->name + " " +
         std::to_string(token->line) + ":" + std::to_string(token->column);
}

// Parses the body (line 3 on) against grammar, starting at the first token, into parent P.
struct Parsed {
  explicit Parsed(const DTDPtr& grammar, const std::string& body) {
    std::string version;
    ReadXMLTokensFromBytes(head, kProlog + body, version);
    EXPECT_EQ(head.TokenKind, xmlTokenHead) << head.error;
    if (head.TokenKind != xmlTokenHead) return;
    cursor = head.next.get();
    ok = grammar->Parse(parent, cursor, error, committed);
  }
  TXMLToken head;
  TXMLComplexElement parent{"P"};
  const TXMLToken* cursor = nullptr;
  std::string error;
  bool committed = false;
  bool ok = false;
};

const DTDPtr kAB = Compound("A", Text("B"));

struct FailCase {
  DTDPtr grammar;
  std::string body;
  std::string message;
  bool committed;
};

TEST(DTDParseTest, FailuresGiveOneMessageWithPositionAndCommitment) {
  const std::vector<FailCase> cases = {
      {Compound("A", Text("B")), "\n<A />",
       "element \"A\" should not be empty, at line 4, column 5.", true},
      {kAB, "x<A>", "unexpected text \"x\", expect begin of element \"A\", at line 3, column 2.",
       true},
      {kAB, "<C>",
       "unexpected begin of element \"C\", expect begin of element \"A\", at line 3, column 3.",
       false},
      {kAB, "</A>",
       "unexpected end of element \"A\", expect begin of element \"A\", at line 3, column 4.",
       false},
      {kAB, "<C/>",
       "unexpected empty element \"C\", expect begin of element \"A\", at line 3, column 4.",
       false},
      {kAB, "", "unexpected end-of-file, expect begin of element \"A\", at line 3, column 0.",
       true},
      {kAB, "<A><B>x</B>",
       "unexpected end-of-file, expect end of element \"A\", at line 3, column 8.", true},
      {kAB, "<A><B>x</C></A>",
       "end of element \"C\" does not match begin of element \"B\", at line 3, column 9.", true},
      {kAB, "<A><B>x</B><B>y</B></A>",
       "unexpected begin of element \"B\", expect end of element \"A\", at line 3, column 11.",
       true},
      {kAB, "<A><B>x</B>z</A>",
       "unexpected text \"z\", expect end of element \"A\", at line 3, column 10.", true},
      // Text from the file is quoted with its control bytes escaped, NUL included.
      {kAB, "<A>x\x02y\0z</A>"s,
       "unexpected text \"x\\x02y\\0z\", expect begin of element \"B\". at line 3, column 6.",
       true},
      {kAB, "<A><B>x</B><C/></A>",
       "unexpected empty element \"C\", expect end of element \"A\", at line 3, column 12.", true},
      // A failure inside an element that has begun is committed, with the innermost message.
      {kAB, "<A>x</A>",
       "unexpected text \"x\", expect begin of element \"B\". at line 3, column 4.", true},
      {kAB, "<A><B/></A>",
       "unexpected empty element \"B\", expect begin of element \"B\". at line 3, column 6.", true},
      {kAB, "<A><B><C>", "unexpected begin of element \"C\", expect text, at line 3, column 5.",
       true},
      {kAB, "<A><B>", "unexpected end-of-file, expect text, at line 3, column 5.", true},
      {Text("B"), "<B></B>", "unexpected end of element \"B\", expect text, at line 3, column 3.",
       true},
      {Text("B"), "<B><B>", "unexpected begin of element \"B\", expect text, at line 3, column 3.",
       true},
      {Text("B"), "<B />",
       "unexpected empty element \"B\", expect begin of element \"B\". at line 3, column 5.",
       false},
      {Text("B", true), "<B />",
       "unexpected empty element \"B\", expect begin of element \"B\". at line 3, column 5.",
       false},
      {Text("B", true), "<B></C>",
       "end of element \"C\" does not match begin of element \"B\", at line 3, column 6.", true},
      {Text("B"), "<B>x<C/>",
       "unexpected empty element \"C\", expect end of element \"B\", at line 3, column 7.", true},
      {Text("B"), "</B>",
       "unexpected end of element \"B\", expect begin of element \"B\". at line 3, column 4.",
       false},
      {Text("B"), "x<B>",
       "unexpected text \"x\", expect begin of element \"B\". at line 3, column 2.", true},
      {Text("B"), "", "unexpected end-of-file, expect begin of element \"B\". at line 3, column 0.",
       true},
      {Seq({Text("A"), Text("B")}), "<A>1</A><C/>",
       "unexpected empty element \"C\", expect begin of element \"B\". at line 3, column 10.",
       false},
      {Compound("A", Seq({Optional(Text("B")), Text("C")})), "<A/>",
       "element \"A\" should not be empty, at line 3, column 4.", true},
      {Choice(Text("A"), Text("B")), "<C>x</C>",
       "Try choices( first choice: unexpected begin of element \"C\", expect begin of element "
       "\"A\". at line 3, column 3., Second choice: unexpected begin of element \"C\", expect "
       "begin of element \"B\". at line 3, column 3.)",
       false},
      {Choice(Text("C"), kAB), "<A>x</A>",
       "Try choices( first choice: unexpected begin of element \"A\", expect begin of element "
       "\"C\". at line 3, column 3., Second choice: unexpected text \"x\", expect begin of "
       "element \"B\". at line 3, column 4.)",
       true},
      // A committed first alternative stops the choice before the second is tried.
      {Choice(kAB, Text("C")), "<A><X>",
       "Try choices( first choice: unexpected begin of element \"X\", expect begin of element "
       "\"B\". at line 3, column 5., Second choice: ",
       true},
      {Optional(kAB), "<A></A>",
       "unexpected end of element \"A\", expect begin of element \"B\". at line 3, column 6.",
       true},
      {Repeat(kAB), "<A><B>1</B></A><A></A>",
       "unexpected end of element \"A\", expect begin of element \"B\". at line 3, column 17.",
       true},
  };
  for (const FailCase& c : cases) {
    SCOPED_TRACE(c.body);
    Parsed p(c.grammar, c.body);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, c.message);
    EXPECT_EQ(p.committed, c.committed);
  }
}

struct MatchCase {
  DTDPtr grammar;
  std::string body;
  std::string tree;       // the parent's children
  std::string remaining;  // the token at the cursor afterwards
};

TEST(DTDParseTest, MatchesBuildTheTreeAndStopAfterTheMatch) {
  const std::vector<MatchCase> cases = {
      {Compound("A"), "\n<A />", "P[A[]]", "Eof  4:4"},
      {Compound("A", Optional(Text("B"))), "<A></A>", "P[A[]]", "Eof  3:5"},
      {Compound("A", Seq({Optional(Text("B")), Repeat(Text("C"))})), "<A/>", "P[A[]]", "Eof  3:3"},
      {Compound("A", Choice(Text("B"), Empty())), "<A/><B/>", "P[A[]]", "Empty B 3:7"},
      {Text("B", true), "<B></B>", "P[B=\"\"]", "Eof  3:5"},
      {Text("B"), "<B> ^E^T^S^G^^^x  a^ </B>", "P[B=\"\r\n\t<>^^x  a^\"]", "Eof  3:15"},
      {Text("B"), "<B>100%</B>", "P[B=\"100%\"]", "Eof  3:8"},
      {Seq({Optional(Seq({Text("A"), Text("B")})), Text("A"), Text("C")}), "<A>1</A><C>2</C>",
       "P[A=\"1\",C=\"2\"]", "Eof  3:12"},
      {Choice(Seq({Text("A"), Text("B")}), Seq({Text("A"), Text("C")})), "<A>1</A><C>2</C>",
       "P[A=\"1\",C=\"2\"]", "Eof  3:12"},
      {Choice({Text("A"), Text("B"), Compound("C")}), "<C/>", "P[C[]]", "Eof  3:3"},
      {Repeat(Seq({Text("A"), Text("B")})), "<A>1</A><B>2</B><A>3</A><C/>", "P[A=\"1\",B=\"2\"]",
       "Begin A 3:15"},
      {Repeat(Optional(Text("B"))), "<C/>", "P[]", "Empty C 3:4"},
      {Repeat(Choice(Text("B"), Compound("C"))), "<B>1</B><C/><B>2</B></R>",
       "P[B=\"1\",C[],B=\"2\"]", "End R 3:19"},
      // Tokens after the match are not examined.
      {kAB, "<A><B>x</B></A></B><A>", "P[A[B=\"x\"]]", "End B 3:15"},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.body);
    Parsed p(c.grammar, c.body);
    EXPECT_TRUE(p.ok) << p.error;
    EXPECT_EQ(Dump(p.parent), c.tree);
    ASSERT_NE(p.cursor, nullptr);
    EXPECT_EQ(DumpToken(p.cursor), c.remaining);
  }
}

// An absent optional part leaves the parent exactly as it was, even after a partly matched
// sequence inside it had appended elements.
TEST(DTDParseTest, OptionalRestoresCursorAndChildren) {
  const DTDPtr grammar = Optional(Seq({Text("A"), Text("B")}));
  for (bool hadChild : {false, true}) {
    SCOPED_TRACE(hadChild);
    TXMLToken head;
    std::string version, error;
    ReadXMLTokensFromBytes(head, kProlog + "<A>1</A><C/>", version);
    TXMLComplexElement parent("P");
    TXMLItem* before = hadChild ? &parent.AddComplex("X") : nullptr;
    const TXMLToken* cursor = head.next.get();
    bool committed = false;
    ASSERT_TRUE(grammar->Parse(parent, cursor, error, committed));
    EXPECT_EQ(cursor, head.next.get());
    EXPECT_EQ(parent.GetLastElement(), before);
    EXPECT_EQ(Dump(parent), hadChild ? "P[X[]]" : "P[]");
    if (before != nullptr) {
      EXPECT_EQ(before->next, nullptr);
    }
  }
}

TEST(DTDParseTest, ElementsKeepThePositionOfTheirBeginTag) {
  Parsed p(kAB, "<A>\n  <B>x</B>\n</A>");
  ASSERT_TRUE(p.ok) << p.error;
  const TXMLItem* a = p.parent.GetFirstElement();
  const TXMLItem* b = a->GetFirstElement();
  EXPECT_EQ(std::make_pair(a->line, a->column), std::make_pair(3, 3));
  EXPECT_EQ(std::make_pair(b->line, b->column), std::make_pair(4, 5));
  Parsed empty(Compound("A"), "\n\n<A/>");
  EXPECT_EQ(
      std::make_pair(empty.parent.GetFirstElement()->line, empty.parent.GetFirstElement()->column),
      std::make_pair(5, 4));
}

TEST(DTDParseTest, RepeatOverVeryManySiblingsUsesNoStackPerRepetition) {
  constexpr int kSiblings = 100000;
  std::string body = "<R>";
  for (int i = 0; i < kSiblings; ++i) body += "<B>x</B><C/>";
  body += "<D/></R>";
  Parsed p(Compound("R", Seq({Repeat(Seq({Text("B"), Compound("C")})), Compound("D")})), body);
  ASSERT_TRUE(p.ok) << p.error;
  int count = 0;
  for (const TXMLItem* c = p.parent.GetFirstElement()->GetFirstElement(); c; c = c->next) ++count;
  EXPECT_EQ(count, 2 * kSiblings + 1);
}

TEST(DTDParseTest, EmptinessFollowsTheCombinators) {
  EXPECT_TRUE(Seq({})->CanBeEmpty());
  EXPECT_TRUE(Seq({Optional(Text("A")), Repeat(Text("B"))})->CanBeEmpty());
  EXPECT_FALSE(Seq({Optional(Text("A")), Text("B")})->CanBeEmpty());
  EXPECT_TRUE(Choice(Text("A"), Empty())->CanBeEmpty());
  EXPECT_FALSE(Choice(Text("A"), Compound("B"))->CanBeEmpty());
  EXPECT_FALSE(Compound("A")->CanBeEmpty());
}

}  // namespace
