#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "files/DTDBuilders.h"
#include "files/XMLReader.h"

namespace {

// A grammar shaped like the program's documents: nested compounds, optional parts, repetitions
// and choices.
std::shared_ptr<const TDTDCompound> DocumentGrammar() {
  const DTDPtr item = Compound("Item", Seq({Text("Pos"), Text("Color")}));
  const DTDPtr bitmap = Compound(
      "Bitmap", Seq({Text("File"), Optional(Compound("Use", Seq({Text("X"), Text("Y")})))}));
  return Compound(
      "UnitFractal",
      Seq({Text("Version"),
           Compound("FractalView",
                    Seq({Text("Name", true), Optional(Text("Opacity")), Repeat(item)})),
           Choice(Compound("BitmapsProps", Repeat(bitmap)), Compound("NoBitmaps")),
           Compound("Fractal",
                    Seq({Text("Formula"),
                         Repeat(Choice(Text("Depth"), Compound("Radius", Optional(Text("Value"))))),
                         Text("Note", true)}))}));
}

class Fuzzer {
 public:
  explicit Fuzzer(unsigned seed) : random_(seed) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  std::string Word() {
    static const std::string kPieces[] = {"1.5", "x y", "^E", "^",  "<",  "%s",    "\xe9",
                                          " ",   "A",   "^T", "-0", "\t", "FF00AA"};
    std::string word;
    for (int n = Below(4); n >= 0; --n) word += kPieces[Below(13)];
    return word;
  }

  // A valid document as the writer writes it.
  std::string Document(int items) {
    TXMLComplexElement root("UnitFractal");
    root.AddString("Version", Below(4) == 0 ? "1.0" : "2.1");
    TXMLComplexElement& view = root.AddComplex("FractalView");
    view.AddString("Name", Below(3) == 0 ? "" : Word());
    if (Below(2) == 0) view.AddString("Opacity", Word() + "0");
    for (int i = 0; i < items; ++i) {
      TXMLComplexElement& item = view.AddComplex("Item");
      item.AddString("Pos", Word() + "1");
      item.AddString("Color", "00FF00");
    }
    TXMLComplexElement& bitmaps = root.AddComplex(Below(4) == 0 ? "NoBitmaps" : "BitmapsProps");
    for (int i = Below(3); i > 0 && bitmaps.GetElement() == "BitmapsProps"; --i) {
      TXMLComplexElement& bitmap = bitmaps.AddComplex("Bitmap");
      bitmap.AddString("File", "/pictures/" + Word() + "p");
      if (Below(2) == 0) {
        TXMLComplexElement& use = bitmap.AddComplex("Use");
        use.AddString("X", "1");
        use.AddString("Y", "2");
      }
    }
    TXMLComplexElement& fractal = root.AddComplex("Fractal");
    fractal.AddString("Formula", "z^2+c");
    for (int i = Below(4); i > 0; --i) {
      if (Below(2) == 0)
        fractal.AddString("Depth", "100");
      else
        fractal.AddComplex("Radius");
    }
    fractal.AddString("Note", Below(2) == 0 ? "" : Word());
    return root.WriteXMLString();
  }

  void Mutate(std::string& bytes) {
    const std::size_t size = bytes.size();
    const std::size_t at = size == 0 ? 0 : static_cast<std::size_t>(Below(static_cast<int>(size)));
    const std::size_t length = static_cast<std::size_t>(1 + Below(40));
    switch (Below(8)) {
      case 0:
        if (size > 0) bytes[at] = static_cast<char>(bytes[at] ^ (1 << Below(8)));
        break;
      case 1:
        bytes.insert(at, 1, "<>/ aAB\n\r^\xe9\x00!"[Below(13)]);
        break;
      case 2:
        bytes.erase(at, length);
        break;
      case 3:
        bytes.resize(at);
        break;
      case 4:
        bytes.insert(static_cast<std::size_t>(Below(static_cast<int>(size) + 1)),
                     bytes.substr(at, length * 8));
        break;
      case 5:
        for (std::size_t i = 0; i < length && at + i < size; ++i)
          bytes[at + i] = static_cast<char>(Below(256));
        break;
      case 6:
        bytes.insert(at,
                     Below(2) == 0 ? std::string(20000, 'x') : "<" + std::string(5000, 'N') + ">");
        break;
      default:
        bytes.insert(at,
                     Below(2) == 0 ? "<Item><Pos>1</Pos><Color>0</Color></Item>" : "</Fractal>");
        break;
    }
  }

  std::string RandomBytes() {
    std::string bytes(static_cast<std::size_t>(Below(600)), '\0');
    for (char& c : bytes) c = static_cast<char>(Below(256));
    return bytes;
  }

 private:
  std::mt19937 random_;
};

std::string Written(const TXMLItem& document) {
  std::string out;
  document.Write(out, 0);
  return out;
}

// Parses bytes; a failure must give exactly one message and no tree, and a success must give a
// tree that writes and reads back to itself.
void CheckParse(const std::string& bytes, const XMLGrammarFor& grammarFor, bool mustParse) {
  XMLParseResult result;
  std::string error;
  const bool parsed = ParseXMLBytes(bytes, grammarFor, result, error);
  ASSERT_TRUE(parsed || !mustParse) << error;
  if (!parsed) {
    ASSERT_FALSE(error.empty());
    ASSERT_EQ(result.root, nullptr);
    return;
  }
  ASSERT_NE(result.document, nullptr);
  const std::string once = Written(*result.document);
  XMLParseResult again;
  ASSERT_TRUE(
      ParseXMLBytes(static_cast<const TXMLComplexElement*>(result.document)->WriteXMLString(),
                    grammarFor, again, error))
      << error;
  ASSERT_EQ(Written(*again.document), once);
}

TEST(XMLRobustnessTest, MutatedAndRandomInputNeverCrashesAndGivesOneMessage) {
  const auto grammar = DocumentGrammar();
  const XMLGrammarFor grammarFor = [&grammar](const std::string& version,
                                              std::string& error) -> const TDTDCompound* {
    if (version == "1.0" || version == "2.1") return grammar.get();
    error = "Unknown version \"" + version + "\".";
    return nullptr;
  };
  Fuzzer fuzzer(20240611);
  for (int round = 0; round < 3000; ++round) {
    const bool random = round % 10 == 9;
    const int mutations = round % 4;
    std::string bytes = random ? fuzzer.RandomBytes() : fuzzer.Document(fuzzer.Below(6));
    for (int n = 0; n < mutations; ++n) fuzzer.Mutate(bytes);
    SCOPED_TRACE(round);
    CheckParse(bytes, grammarFor, !random && mutations == 0);
    if (HasFatalFailure()) return;
  }
}

// Inserts text before the first occurrence of marker.
std::string InsertBefore(std::string bytes, const std::string& marker, const std::string& text) {
  return bytes.insert(bytes.find(marker), text);
}

TEST(XMLRobustnessTest, HugeSiblingCountsAndDeepNestingAreHarmless) {
  const auto grammar = DocumentGrammar();
  const XMLGrammarFor grammarFor = [&grammar](const std::string&, std::string&) {
    return grammar.get();
  };
  Fuzzer fuzzer(7);
  const std::string document = fuzzer.Document(0);
  std::string siblings;
  for (int i = 0; i < 100000; ++i) siblings += "<Radius/>";
  XMLParseResult result;
  std::string error;
  ASSERT_TRUE(ParseXMLBytes(InsertBefore(document, "<Note>", siblings), grammarFor, result, error))
      << error;
  int radii = 0;
  for (const TXMLItem* c = result.document->FindElement("Fractal")->GetFirstElement(); c;
       c = c->next) {
    radii += c->GetElement() == "Radius";
  }
  EXPECT_GE(radii, 100000);

  std::string nesting;
  for (int i = 0; i < 200000; ++i) nesting += "<Item>";
  EXPECT_FALSE(
      ParseXMLBytes(InsertBefore(document, "</FractalView>", nesting), grammarFor, result, error));
  EXPECT_NE(error.find("unexpected begin of element \"Item\", expect begin of element \"Pos\"."),
            std::string::npos)
      << error;
}

}  // namespace
