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

// Text from a file made safe for a message: bytes 0 to 31 and 127 are shown escaped, NUL as
// "\0" and the others as "\x" and two upper-case hex digits ("\x01"), so a message never
// carries a raw control byte and a NUL cannot cut it short. Every other byte is kept.
std::string ShownText(std::string_view text);
