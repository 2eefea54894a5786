#pragma once

#include <string>
#include <vector>

// The command line of korvana-render.
struct RenderOptions {
  std::string document;      // "" renders the default new fractal
  std::string output;        // required unless help or version is asked
  std::string saveDocument;  // "" = do not save
  int threads = 0;           // 0 = all hardware threads
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
