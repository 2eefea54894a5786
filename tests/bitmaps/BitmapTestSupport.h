#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bitmaps/BitmapsProps.h"
#include "files/DTDBuilders.h"
#include "files/TifImage.h"
#include "files/XMLItem.h"
#include "files/XMLReader.h"

// A picture of width x height with every pixel's colour (and alpha) given row by row.
inline TifImage MakePicture(int width, int height, const std::vector<std::uint32_t>& colors,
                            const std::vector<std::uint8_t>& alpha = {}) {
  return TifImage(width, height, colors, alpha);
}

// A document holding one BitmapsProps element after its Version, as fractal documents do.
inline std::string BitmapsDocument(const BitmapsProps& props) {
  TXMLComplexElement root("UnitFractal");
  root.AddString("Version", "2.1");
  props.WriteXML(root);
  return root.WriteXMLString();
}

struct BitmapsReadResult {
  bool parsed = false;
  bool read = false;
  std::string message;
  int line = 0;
  int column = 0;
};

// Parses a document against the BitmapsProps grammar and reads the element into props.
inline BitmapsReadResult ReadBitmapsDocument(std::string_view bytes, BitmapsProps& props) {
  static const auto grammar =
      Compound("UnitFractal", Seq({Text("Version"), BitmapsPropsGrammar()}));
  BitmapsReadResult result;
  XMLParseResult parsed;
  const auto grammarFor = [](const std::string&, std::string&) { return grammar.get(); };
  result.parsed = ParseXMLBytes(bytes, grammarFor, parsed, result.message);
  if (!result.parsed) return result;
  const TXMLItem* element = parsed.document->GetFirstElement()->next;
  result.read = props.ReadXML(*element, result.message, result.line, result.column);
  return result;
}
