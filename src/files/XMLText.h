#pragma once

#include <string>
#include <string_view>

// Caret escapes of the text of string elements. Text is bytes (ISO-8859-1) otherwise kept as is.
// Writing: tab -> "^T", line feed -> "^E", carriage return dropped, '<' -> "^S", '>' -> "^G",
// '^' -> "^^".
std::string EscapeText(std::string_view text);

// Reading: "^E" -> carriage return + line feed, "^T" -> tab, "^S" -> '<', "^G" -> '>',
// "^^" -> '^'; a caret followed by any other byte keeps both bytes, and a caret at the very end
// is kept as a plain character.
std::string UnescapeText(std::string_view text);
