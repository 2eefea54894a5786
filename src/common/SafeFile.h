#pragma once

#include <string>
#include <string_view>

// Writes bytes to fileName through a temporary file in the same folder that is renamed over the
// target only when every byte was written and flushed, so a failed save never destroys the
// previous file. On failure returns false, removes the temporary file and sets error to the
// system's reason (callers show their own message).
bool WriteFileAtomically(const std::string& fileName, std::string_view bytes, std::string& error);

// Reads a whole file. Fails (with the system's reason) when it cannot be opened or read, or when
// it is larger than maxBytes.
bool ReadWholeFile(const std::string& fileName, std::string& bytes, std::string& error,
                   std::size_t maxBytes = std::size_t{1} << 30);
