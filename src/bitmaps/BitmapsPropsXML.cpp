// The BitmapsProps element of fractal documents: writing, reading and its grammar.

#include <string_view>

#include "bitmaps/BitmapsProps.h"
#include "files/XMLItem.h"

void BitmapsProps::WriteXML(TXMLComplexElement& parent) const {
  TXMLComplexElement& xmlBitmaps = parent.AddComplex("BitmapsProps");
  for (const BitmapFileProps& file : Files) file.WriteXML(xmlBitmaps);
  for (const BitmapUseProps& use : Uses) use.WriteXML(xmlBitmaps);
}

bool BitmapsProps::ReadXML(const TXMLItem& element, std::string& message, int& line, int& column) {
  Clear();
  const TXMLItem* xml = element.IsString() ? nullptr : element.GetFirstElement();
  bool ok = true;
  for (; xml != nullptr && ok; xml = xml->next) {
    if (xml->GetElement() == "BitmapFileProps") {
      ok = Files.emplace_back().ReadXML(*xml, message, line, column);
    } else if (xml->GetElement() == "BitmapUseProps") {
      ok = Uses.emplace_back().ReadXML(*xml, message, line, column);
    } else {
      message = "Unexpected element \"" + xml->GetElement() + "\".";
      line = xml->line;
      column = xml->column;
      ok = false;
    }
  }
  ResolveUses();
  return ok;
}

const DTDPtr& BitmapsPropsGrammar() {
  static const DTDPtr grammar = [] {
    const DTDPtr file =
        Compound("BitmapFileProps", Seq({Optional(Text("BmpFile")), Optional(Text("Name"))}));
    const DTDPtr rect =
        Compound("BmpRect", Seq({Text("Left"), Text("Right"), Text("Top"), Text("Bottom")}));
    const DTDPtr transColor =
        Compound("BmpTransOptColor", Seq({Text("BmpTransColor"), Text("BmpTransColorWidthMaxTrans"),
                                          Text("BmpTransColorWidthNoTrans")}));
    const DTDPtr use =
        Compound("BitmapUseProps",
                 Seq({Optional(Text("BitmapName", true)), rect, Optional(Compound("BmpReciproke")),
                      Optional(transColor), Text("BasicTransFactor"),
                      Choice(Compound("BmpPixelSelHard"), Compound("BmpPixelSelSmooth")),
                      Text("DepthModulo"), Text("DepthMin"), Optional(Text("DepthMax"))}));
    return DTDPtr(Compound("BitmapsProps", Seq({Repeat(file), Repeat(use)})));
  }();
  return grammar;
}
