#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The command line of korvana-render.
struct RenderOptions {
  std::string document;      // "" renders the default new fractal
  std::string output;        // required unless help or version is asked
  std::string saveDocument;  // "" = do not save
  int threads = 0;           // 0 = all hardware threads
  int width = 0, height = 0;  // --size WxH in pixels; 0 = the document's own size
  int supersample = 0;        // --supersample G; 0 = the document's ValuesPerPixel
  std::uint64_t memoryMB = 0; // --memory MB; 0 = a quarter of the physical memory
  int firstRow = 0, endRow = 0;  // --rows A:B (pixel rows A .. B - 1); endRow 0 = not given
  bool assemble = false;      // --assemble OUT BAND...: output is OUT, bands are the documents
  std::vector<std::string> bands;
  bool quiet = false;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name. "--" ends the options: every later argument is a
// document name. An option with a value may be given once ("-o x", "--output=x"); a flag takes
// no "=value". On a usage error returns false and sets error to one line that says what is wrong.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);

// The text printed for --help.
std::string RenderUsageText();
