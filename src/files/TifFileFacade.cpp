#include "files/TifFileFacade.h"

#include "files/TifFileReader.h"

TifFileFacade::TifFileFacade(const std::string& programName, const std::string& version)
    : writer_(programName, version) {}

bool TifFileFacade::Read(const std::string& fileName, TifImage& image, std::string& error) const {
  return TifFileReader::Read(fileName, image, error);
}

bool TifFileFacade::Write(const std::string& fileName, const TifImage& image,
                          std::string& error) const {
  return writer_.Write(fileName, image, error);
}
