#pragma once

#include <string>
#include <string_view>

// Text chunks of PNG files: a picture that carries the document it was rendered from. The text
// is stored in an uncompressed iTXt chunk (UTF-8), converted from and to the Latin-1 of the
// program's XML files.

// The keyword of the chunk that holds a fractal document.
inline constexpr std::string_view kDocumentKeyword = "Korvana-Document";
// Texts longer than this are neither written nor read (the bound of every XML reader).
inline constexpr std::size_t kMaxPngTextBytes = 8u << 20;

// The data of an iTXt chunk (between its type and its CRC) with keyword and the Latin-1 text,
// uncompressed. False when the text is too long or the keyword is not 1 to 79 bytes.
bool PngTextChunkData(std::string_view keyword, std::string_view latin1, std::string& data);

// Inserts an iTXt chunk with keyword and the Latin-1 text right after the IHDR chunk of png.
// False (png unchanged) when png does not start with a PNG signature and IHDR or the text is too
// long.
bool InsertPngText(std::string& png, std::string_view keyword, std::string_view latin1);

// Finds the iTXt chunk with keyword in png. Found: text holds it in Latin-1. Missing: the file is
// a PNG without it. Damaged: the file is no PNG, a chunk runs past the end, a checksum is wrong,
// the chunk is compressed, too long or holds characters beyond Latin-1; error says which.
enum class PngTextResult { Found, Missing, Damaged };
PngTextResult FindPngText(std::string_view png, std::string_view keyword, std::string& latin1,
                          std::string& error);

// Whether bytes start with the PNG signature.
bool IsPngSignature(std::string_view bytes);
// Whether the file is a regular file that starts with the PNG signature.
bool IsPngFile(const std::string& fileName);
