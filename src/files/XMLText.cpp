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

std::string ShownText(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0) {
      out += "\\0";
    } else if (byte < 32 || byte == 127) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}
