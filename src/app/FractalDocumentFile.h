#pragma once

#include <memory>
#include <string>

#include "app/TFractalContent.h"

class Interaction;
class TDTDCompound;
class TXMLComplexElement;
class TXMLItem;

// The fractal document file (.kvf): root `UnitFractal`, written as version "2.1", read in the
// versions "1.0", "2.0" and "2.1".

// The document grammars, built once: version "2.1", and versions "1.0" and "2.0".
const TDTDCompound& UnitFractalGrammar21();
const TDTDCompound& UnitFractalGrammar20();

// The element tree of a document: `UnitFractal` with `Version` "2.1" and the content elements.
std::unique_ptr<TXMLComplexElement> BuildFractalDocument(const TFractalContent& content);

// Appends the content elements `FractalView`, `BitmapsProps` and `Fractal` to parent.
void WriteContentElements(const TFractalContent& content, TXMLComplexElement& parent);

// Reads the content elements starting at first (the element after `Version`) of a document of
// the given version. On failure returns false with the reader's message and the line and column
// of the element at which reading stopped.
bool ReadContentElements(TFractalContent& content, const TXMLItem* first,
                         const std::string& version, std::string& message, int& line, int& column);

// Writes the document to fileName (atomically). On failure shows "Cannot save Fractal File \"" +
// fileName + "\": " + the writer's reason (ending with one full stop) in a box titled "FileError"
// and returns false.
bool SaveFractalDocument(const TFractalContent& content, const std::string& fileName,
                         Interaction& ui);

// Reads fileName into content. On success content holds the file's properties (pictures are not
// loaded yet); on failure content is unchanged and message holds the reason, for content errors
// followed by " At line L, column C.". An empty file fails with "file is empty.", a document
// without version with "The document has no version." and one of another version with
// "Unknown version \"<version>\".". Control bytes of the file are shown escaped in the message.
bool LoadFractalDocument(TFractalContent& content, const std::string& fileName,
                         std::string& message);
bool LoadFractalDocumentBytes(TFractalContent& content, std::string_view bytes,
                              std::string& message);

// A PNG picture exported by the program carries its document. None: the file is no PNG picture.
// Found: text holds the document. Refused: a PNG without the document or with a damaged one;
// message says why.
enum class PictureDocument { None, Found, Refused };
PictureDocument ReadPictureDocument(const std::string& fileName, std::string& text,
                                    std::string& message);
