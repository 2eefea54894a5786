#include "files/XMLText.h"

std::string EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\t':
        out += "^T";
        break;
      case '\n':
        out += "^E";
        break;
      case '\r':
        break;
      case '<':
        out += "^S";
        break;
      case '>':
        out += "^G";
        break;
      case '^':
        out += "^^";
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

std::string UnescapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '^' || i + 1 == text.size()) {
      out += c;  // a plain byte, or a lone caret at the end, kept as it is
      continue;
    }
    const char code = text[++i];
    switch (code) {
      case 'E':
        out += "\r\n";
        break;
      case 'T':
        out += '\t';
        break;
      case 'S':
        out += '<';
        break;
      case 'G':
        out += '>';
        break;
      case '^':
        out += '^';
        break;
      default:
        out += '^';
        out += code;
        break;
    }
  }
  return out;
}
