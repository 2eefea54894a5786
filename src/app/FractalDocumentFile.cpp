#include "app/FractalDocumentFile.h"

#include <cstddef>

#include "common/Assert.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/SafeFile.h"
#include "files/PngText.h"
#include "common/Version.h"
#include "files/XMLReader.h"
#include "files/XMLText.h"
#include "fractal/FractalElement.h"
#include "view/FractalViewGrammar.h"

namespace {

constexpr const char* kUnit = "unitfract";

bool IsOldVersion(const std::string& version) { return version == "1.0" || version == "2.0"; }

// The next sibling, which the grammar guarantees to exist.
const TXMLItem& Expect(const TXMLItem* item, const char* name) {
  KORVANA_ASSERT(item != nullptr);
  KORVANA_ASSERT(item->GetElement() == name);
  return *item;
}

const TDTDCompound* GrammarFor(const std::string& version, std::string& error) {
  if (version == korvana::kVersionText) return &UnitFractalGrammar21();
  if (IsOldVersion(version)) return &UnitFractalGrammar20();
  // A file of another program or a later version: a user message, not a consistency check.
  error = version.empty() ? "The document has no version."
                          : "Unknown version \"" + ShownText(version) + "\".";
  return nullptr;
}

// The `Version` element must come first and agree with the sniffed version.
bool CheckVersionElement(const TXMLItem* xmlVersion, const std::string& version,
                         std::string& message) {
  if (!KORVANA_CHECK(xmlVersion != NULL, kUnit) ||
      !KORVANA_CHECK(xmlVersion->GetElement() == "Version", kUnit)) {
    message = "The document has no version.";
    return false;
  }
  const std::string& parVersion = xmlVersion->GetString();
  if (!KORVANA_CHECK(version == parVersion, kUnit)) {
    message = "The document's version \"" + ShownText(parVersion) + "\" is not \"" +
              ShownText(version) + "\".";
    return false;
  }
  return true;
}

bool ParseDocument(TFractalContent& content, XMLParseResult& parsed, bool ok,
                   std::string& message) {
  if (!ok) return false;
  const TXMLItem* version = parsed.document->GetFirstElement();
  if (!CheckVersionElement(version, parsed.version, message)) return false;
  TFractalContent read = content;
  int line = 0;
  int column = 0;
  if (!ReadContentElements(read, version->next, parsed.version, message, line, column)) {
    message += " At line " + std::to_string(line) + ", column " + std::to_string(column + 1) + ".";
    return false;
  }
  content = std::move(read);
  return true;
}

}  // namespace

const TDTDCompound& UnitFractalGrammar21() {
  static const auto grammar = Compound(
      "UnitFractal",
      Seq({Text("Version"), FractalView21Grammar(), BitmapsPropsGrammar(), FractalGrammar21()}));
  return *grammar;
}

const TDTDCompound& UnitFractalGrammar20() {
  static const auto grammar = Compound(
      "UnitFractal",
      Seq({Text("Version"), Seq({Compound("View"), FractalView20Grammar()}), FractalGrammar20()}));
  return *grammar;
}

void WriteContentElements(const TFractalContent& content, TXMLComplexElement& parent) {
  content.View.WriteXML(parent);
  content.Bitmaps.WriteXML(parent);
  WriteFractal(content.Fractal, parent);
}

std::unique_ptr<TXMLComplexElement> BuildFractalDocument(const TFractalContent& content) {
  auto root = std::make_unique<TXMLComplexElement>("UnitFractal");
  root->AddString("Version", std::string(korvana::kVersionText));
  WriteContentElements(content, *root);
  return root;
}

bool ReadContentElements(TFractalContent& content, const TXMLItem* first,
                         const std::string& version, std::string& message, int& line, int& column) {
  const TXMLItem* item = first;
  if (IsOldVersion(version)) item = Expect(item, "View").next;
  const TXMLItem& view = Expect(item, "FractalView");
  if (!content.View.ReadXML(view, version, message, line, column)) return false;
  item = view.next;
  if (!IsOldVersion(version)) {
    const TXMLItem& bitmaps = Expect(item, "BitmapsProps");
    if (!content.Bitmaps.ReadXML(bitmaps, message, line, column)) return false;
    item = bitmaps.next;
  }
  return ReadFractal(content.Fractal, Expect(item, "Fractal"), version, message, line, column);
}

bool SaveFractalDocument(const TFractalContent& content, const std::string& fileName,
                         Interaction& ui) {
  std::string error;
  if (BuildFractalDocument(content)->WriteXMLFile(fileName, error)) return true;
  // The writer's reasons end with a full stop already; the message ends with exactly one.
  if (error.empty() || error.back() != '.') error += ".";
  ui.ShowMessage("FileError", "Cannot save Fractal File \"" + fileName + "\": " + error,
                 Interaction::Icon::Information);
  return false;
}

PictureDocument ReadPictureDocument(const std::string& fileName, std::string& text,
                                    std::string& message) {
  // The document chunk follows the picture header, so the start of the file is enough.
  constexpr std::size_t kPrefix = 2 * kMaxPngTextBytes + 4096;
  std::string bytes;
  std::string reason;
  FileFailure failure = FileFailure::None;
  if (!ReadFilePrefix(fileName, bytes, reason, kPrefix, &failure) || !IsPngSignature(bytes)) {
    return PictureDocument::None;  // not a picture: the XML reader reports what is wrong
  }
  const bool whole = bytes.size() < kPrefix;
  switch (FindPngText(bytes, kDocumentKeyword, text, message)) {
    case PngTextResult::Found: return PictureDocument::Found;
    case PngTextResult::Missing: break;
    case PngTextResult::Damaged:
      if (whole) return PictureDocument::Refused;
      break;  // the chunks beyond the read part were cut off by the reading
  }
  message = "the PNG picture holds no Korvana document.";
  return PictureDocument::Refused;
}

bool LoadFractalDocument(TFractalContent& content, const std::string& fileName,
                         std::string& message) {
  std::string text;
  switch (ReadPictureDocument(fileName, text, message)) {
    case PictureDocument::None: break;
    case PictureDocument::Found: return LoadFractalDocumentBytes(content, text, message);
    case PictureDocument::Refused: return false;
  }
  XMLParseResult parsed;
  bool ok = ParseXMLFile(fileName, GrammarFor, parsed, message);
  ok = ParseDocument(content, parsed, ok, message);
  // Every part of the message that came from the file is escaped where it is made; this also
  // covers readers that quote file text unescaped.
  if (!ok) message = ShownText(message);
  return ok;
}

bool LoadFractalDocumentBytes(TFractalContent& content, std::string_view bytes,
                              std::string& message) {
  XMLParseResult parsed;
  bool ok = ParseXMLBytes(bytes, GrammarFor, parsed, message);
  ok = ParseDocument(content, parsed, ok, message);
  if (!ok) message = ShownText(message);
  return ok;
}
