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

bool ParseWhole(const std::string& text, long long low, long long high, long long& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

// "WxH" with both sides from 1 to 2^31 - 1.
bool ParseSize(const std::string& text, int& width, int& height) {
  const auto x = text.find('x');
  long long w = 0, h = 0;
  if (x == std::string::npos || !ParseWhole(text.substr(0, x), 1, 0x7FFFFFFF, w) ||
      !ParseWhole(text.substr(x + 1), 1, 0x7FFFFFFF, h)) {
    return false;
  }
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

// "A:B" with 0 <= A < B.
bool ParseRows(const std::string& text, int& first, int& end) {
  const auto colon = text.find(':');
  long long a = 0, b = 0;
  if (colon == std::string::npos || !ParseWhole(text.substr(0, colon), 0, 0x7FFFFFFE, a) ||
      !ParseWhole(text.substr(colon + 1), 1, 0x7FFFFFFF, b) || a >= b) {
    return false;
  }
  first = static_cast<int>(a);
  end = static_cast<int>(b);
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
         "      --size WxH        picture of W x H pixels (the plane rectangle is kept)\n"
         "      --supersample G   G x G samples per pixel (default: the document's\n"
         "                        ValuesPerPixel)\n"
         "      --memory MB       memory budget; larger pictures are rendered in bands of rows\n"
         "                        and streamed to the file (default: a quarter of the memory)\n"
         "      --rows A:B        render only pixel rows A .. B-1 into the band file -o FILE\n"
         "      --assemble OUT    join the band files given as arguments into the picture OUT\n"
         "  -q, --quiet           no progress bar\n"
         "      --save-document F also write the document as rendered to F (.kvf)\n"
         "  -h, --help            show this text\n"
         "      --version         show the version\n";
}

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error) {
  bool outputGiven = false, saveGiven = false, threadsGiven = false, optionsEnded = false;
  bool sizeGiven = false, superGiven = false, memoryGiven = false, rowsGiven = false;
  std::vector<std::string> positional;
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
      positional.push_back(arg);
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
    } else if (arg == "--size") {
      std::string text;
      if (!takeValue(text, sizeGiven)) return false;
      if (!ParseSize(text, options.width, options.height)) {
        error = "invalid size \"" + text + "\" (WIDTHxHEIGHT in pixels, e.g. 20000x14000)";
        return false;
      }
    } else if (arg == "--supersample") {
      std::string text;
      long long g = 0;
      if (!takeValue(text, superGiven)) return false;
      if (!ParseWhole(text, 1, 64, g)) {
        error = "invalid supersampling \"" + text + "\" (a whole number from 1 to 64)";
        return false;
      }
      options.supersample = static_cast<int>(g);
    } else if (arg == "--memory") {
      std::string text;
      long long mb = 0;
      if (!takeValue(text, memoryGiven)) return false;
      if (!ParseWhole(text, 1, 1LL << 30, mb)) {
        error = "invalid memory budget \"" + text + "\" (megabytes, a whole number from 1)";
        return false;
      }
      options.memoryMB = static_cast<std::uint64_t>(mb);
    } else if (arg == "--rows") {
      std::string text;
      if (!takeValue(text, rowsGiven)) return false;
      if (!ParseRows(text, options.firstRow, options.endRow)) {
        error = "invalid rows \"" + text + "\" (A:B, pixel rows A to B-1 with A < B)";
        return false;
      }
    } else if (arg == "--assemble") {
      bool given = options.assemble;
      if (!takeValue(options.output, given)) return false;
      if (outputGiven) {
        error = "option --assemble names the output; -o cannot be given as well";
        return false;
      }
      options.assemble = outputGiven = true;
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (options.help || options.version) return true;
  if (options.assemble) {
    if (positional.empty()) {
      error = "--assemble needs the band files to join";
      return false;
    }
    if (sizeGiven || superGiven || rowsGiven || saveGiven) {
      error = "--assemble takes only band files (and --memory, --quiet)";
      return false;
    }
    options.bands = positional;
    return true;
  }
  if (positional.size() > 1) {
    error = "only one document can be rendered at a time";
    return false;
  }
  if (!positional.empty()) options.document = positional.front();
  if (superGiven && !sizeGiven) {
    error = "--supersample needs --size";
    return false;
  }
  if (options.output.empty()) {
    error = "no output picture given (-o FILE)";
    return false;
  }
  return true;
}
