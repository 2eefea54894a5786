#pragma once

#include <string>
#include <string_view>

#include "common/SafeFile.h"
#include "common/Version.h"
#include "files/DTDBuilders.h"
#include "files/XMLItem.h"
#include "files/XMLReader.h"
#include "view/FractalViewGrammar.h"
#include "view/TFractViewProps.h"

// A small document that holds one FractalView element after its Version, as a fractal document
// does: <UnitFractal> <Version>v</Version> <FractalView>...</FractalView> </UnitFractal>.
inline std::string ViewDocument(const TFractViewProps& props,
                                const std::string& version = std::string(korvana::kVersionText)) {
  TXMLComplexElement root("UnitFractal");
  root.AddString("Version", version);
  props.WriteXML(root);
  return root.WriteXMLString();
}

// The outcome of reading a view document: parse (grammar chosen by the sniffed version) and then
// TFractViewProps::ReadXML with that version.
struct ViewReadResult {
  bool parsed = false;
  bool read = false;
  std::string message;
  int line = 0;
  int column = 0;
};

inline ViewReadResult ReadViewDocument(std::string_view bytes, TFractViewProps& props) {
  static const auto older = Compound("UnitFractal", Seq({Text("Version"), FractalView20Grammar()}));
  static const auto current =
      Compound("UnitFractal", Seq({Text("Version"), FractalView21Grammar()}));
  ViewReadResult result;
  XMLParseResult parsed;
  const auto grammarFor = [](const std::string& version, std::string&) {
    return version == "1.0" || version == "2.0" ? older.get() : current.get();
  };
  result.parsed = ParseXMLBytes(bytes, grammarFor, parsed, result.message);
  if (!result.parsed) return result;
  const TXMLItem* view = parsed.document->GetFirstElement()->next;
  result.read = props.ReadXML(*view, parsed.version, result.message, result.line, result.column);
  return result;
}

// The test data folder (tests/data), compiled into every test program.
inline std::string TestDataFolder() { return KORVANA_TEST_DATA; }

// A file of the test data folder, empty when it cannot be read.
inline std::string TestDataFile(const std::string& relative) {
  std::string bytes;
  std::string error;
  if (!ReadWholeFile(TestDataFolder() + "/" + relative, bytes, error)) return {};
  return bytes;
}
