#include "cli/RenderOptions.h"

#include <charconv>

namespace {

bool ParseThreadCount(const std::string& text, int& threads) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 1024) {
    return false;
  }
  threads = value;
  return true;
}

// Splits "--name=value" into name and value; other arguments are returned unchanged.
bool SplitInlineValue(const std::string& arg, std::string& name, std::string& value) {
  auto eq = arg.find('=');
  if (arg.rfind("--", 0) != 0 || eq == std::string::npos) return false;
  name = arg.substr(0, eq);
  value = arg.substr(eq + 1);
  return true;
}

}  // namespace

std::string RenderUsageText() {
  return "Usage: korvana-render [options] [DOCUMENT.kvf]\n"
         "Renders a fractal document (or the default new fractal) to a picture.\n"
         "\n"
         "  -o, --output FILE     picture to write: .tif (RGB + opacity alpha), .bmp or .png\n"
         "                        (the pixels a window shows, background blended); required\n"
         "  -t, --threads N       worker threads (default: all hardware threads)\n"
         "  -q, --quiet           no progress bar\n"
         "      --save-document F also write the document as rendered to F (.kvf)\n"
         "  -h, --help            show this text\n"
         "      --version         show the version\n";
}

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error) {
  bool outputGiven = false, saveGiven = false, threadsGiven = false, optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg;
    std::string value;
    bool hasInline = !optionsEnded && SplitInlineValue(args[i], arg, value);
    if (!hasInline) arg = args[i];
    auto takeValue = [&](std::string& target, bool& given) {
      if (given) {
        error = "option " + arg + " given more than once";
        return false;
      }
      given = true;
      if (hasInline) {
        target = value;
      } else if (i + 1 < args.size()) {
        target = args[++i];
      } else {
        target.clear();
      }
      if (target.empty()) {
        error = "option " + arg + " needs a value";
        return false;
      }
      return true;
    };
    auto setFlag = [&](bool& flag) {
      if (hasInline) {
        error = "option " + arg + " takes no value";
        return false;
      }
      flag = true;
      return true;
    };
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      if (!options.document.empty()) {
        error = "only one document can be rendered at a time";
        return false;
      }
      options.document = arg;
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-h" || arg == "--help") {
      if (!setFlag(options.help)) return false;
    } else if (arg == "--version") {
      if (!setFlag(options.version)) return false;
    } else if (arg == "-q" || arg == "--quiet") {
      if (!setFlag(options.quiet)) return false;
    } else if (arg == "-o" || arg == "--output") {
      if (!takeValue(options.output, outputGiven)) return false;
    } else if (arg == "--save-document") {
      if (!takeValue(options.saveDocument, saveGiven)) return false;
    } else if (arg == "-t" || arg == "--threads") {
      std::string count;
      if (!takeValue(count, threadsGiven)) return false;
      if (!ParseThreadCount(count, options.threads)) {
        error = "invalid thread count \"" + count + "\" (a whole number from 1 to 1024)";
        return false;
      }
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (!options.help && !options.version && options.output.empty()) {
    error = "no output picture given (-o FILE)";
    return false;
  }
  return true;
}
