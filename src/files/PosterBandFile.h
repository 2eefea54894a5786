#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "files/StreamedFile.h"

// A band file: rows first .. first + count - 1 of a picture of width x height pixels, rendered
// on its own (another process or machine) and joined with the other bands later. It carries the
// document text the picture was rendered from, so bands of different documents or sizes are
// told apart, and every row twice: as displayed (red, green, blue with the background) and as
// exported (red, green, blue, alpha without background), so the joined picture can be any
// format. Layout, little-endian: the magic line "KORVANA-BAND 1\n", five 32-bit numbers (width,
// height, first, count, text length), the text, then per row width * 3 display bytes followed
// by width * 4 export bytes.
struct PosterBandHeader {
  int width = 0;
  int height = 0;
  int first = 0;
  int count = 0;
  std::string documentText;

  // Bytes of one row in the file.
  std::uint64_t RowBytes() const { return static_cast<std::uint64_t>(width) * 7; }
};

// Writes a band file atomically: nothing is left unless Finish succeeds.
class PosterBandWriter {
 public:
  bool Open(const std::string& fileName, const PosterBandHeader& header, std::string& error);
  // The next count rows, display rows (width * 3 bytes each) and export rows (width * 4 each).
  bool WriteRows(int count, const std::uint8_t* display, const std::uint8_t* exported,
                 std::string& error);
  bool Finish(std::string& error);

 private:
  StreamedFile file_;
  PosterBandHeader header_;
  int written_ = 0;
};

// Reads a band file's header and then its rows in order.
class PosterBandReader {
 public:
  // Reads and checks the header: the magic line, a size with pixels, rows within the picture
  // and a file length that holds exactly those rows. Messages start with
  // "Cannot read band file \"<name>\": ".
  bool Open(const std::string& fileName, std::string& error);
  const PosterBandHeader& Header() const { return header_; }
  // The next count rows into display (width * 3 bytes each) and exported (width * 4 each).
  bool ReadRows(int count, std::uint8_t* display, std::uint8_t* exported, std::string& error);

 private:
  std::string name_;
  std::ifstream in_;
  PosterBandHeader header_;
  std::vector<char> row_;
};
