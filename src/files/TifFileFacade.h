#pragma once

#include <string>

#include "files/TifFileWriter.h"

class TifImage;

// The program's one entry to TIFF files, made once with the program name and version that the
// software tag of written files carries.
class TifFileFacade {
 public:
  TifFileFacade(const std::string& programName, const std::string& version);

  // Reads the first picture of fileName; false with the reader's message on failure.
  bool Read(const std::string& fileName, TifImage& image, std::string& error) const;
  // Writes image atomically, stamped with the local time; false with the message on failure.
  bool Write(const std::string& fileName, const TifImage& image, std::string& error) const;

 private:
  TifFileWriter writer_;
};
