#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/SafeFile.h"

// An output file written piece by piece, at any offset, and saved atomically: the bytes go to a
// temporary file in the target's folder (registered for removal on SIGINT/SIGTERM) that is
// renamed over the target by Commit only. A file that is destroyed, aborted or fails before
// Commit leaves no trace and the previous target untouched. For pictures too large to be held in
// memory. Symbolic links are followed as WriteFileAtomically follows them; a read-only target is
// refused.
class StreamedFile {
 public:
  StreamedFile() = default;
  ~StreamedFile() { Abort(); }
  StreamedFile(const StreamedFile&) = delete;
  StreamedFile& operator=(const StreamedFile&) = delete;

  // Creates the temporary file for fileName. On failure returns false with the system's reason
  // and failure set (Open or ReadOnly).
  bool Open(const std::string& fileName, std::string& error, FileFailure* failure = nullptr);
  // Writes bytes at offset (the file grows as needed). False with the system's reason.
  bool WriteAt(std::uint64_t offset, std::string_view bytes, std::string& error);
  // Writes bytes after the furthest byte written so far.
  bool Append(std::string_view bytes, std::string& error) { return WriteAt(end_, bytes, error); }
  // Flushes and renames the temporary file over the target. False (and nothing left behind) with
  // the system's reason.
  bool Commit(std::string& error);
  // Removes the temporary file; nothing happens when none is open.
  void Abort();

  bool IsOpen() const { return fd_ >= 0; }
  std::uint64_t End() const { return end_; }

 private:
  int fd_ = -1;
  std::string temporary_;
  std::string target_;
  std::uint64_t end_ = 0;
};
