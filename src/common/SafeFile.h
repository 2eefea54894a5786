#pragma once

#include <string>
#include <string_view>

// What went wrong with a file, for callers that word each case differently.
enum class FileFailure {
  None,
  Open,        // the file (or its temporary file) could not be opened or created
  NotRegular,  // reading: a FIFO, device or folder; nothing was read
  TooLarge,    // reading: more than the allowed bytes
  Read,        // reading failed after the file was opened
  ReadOnly,    // writing: the file exists and its permissions forbid writing
  Write,       // writing failed after the file was opened (a full disk, an I/O error)
};

// Writes bytes to fileName through a temporary file in the same folder that is renamed over the
// target only when every byte was written and flushed, so a failed save never destroys the
// previous file. A symbolic link is followed: the file it points to is replaced and the link
// kept. An existing file whose permission bits forbid writing is refused (also for root, who
// could otherwise replace it). A target that exists and is not a regular file (a device such as
// /dev/full, a FIFO) is written directly, never replaced. The temporary name stays within
// NAME_MAX and is registered for removal on SIGINT/SIGTERM (see InstallTemporaryFileCleanup).
// On failure returns false, removes the temporary file, sets error to the system's reason
// (callers show their own message) and, when given, failure to what failed.
bool WriteFileAtomically(const std::string& fileName, std::string_view bytes, std::string& error,
                         FileFailure* failure = nullptr);

// Reads a whole regular file. Anything else (a FIFO, a device, a folder) is refused without
// blocking: the file is opened non-blocking and checked before a byte is read. Fails (with the
// system's reason, or a short reason of its own) when it cannot be opened or read, or when it is
// larger than maxBytes; failure, when given, tells which.
bool ReadWholeFile(const std::string& fileName, std::string& bytes, std::string& error,
                   std::size_t maxBytes = std::size_t{1} << 30, FileFailure* failure = nullptr);
// The same, but a longer file is not a failure: only its first maxBytes are read.
bool ReadFilePrefix(const std::string& fileName, std::string& bytes, std::string& error,
                    std::size_t maxBytes, FileFailure* failure = nullptr);

// Whether fileName can be read as a regular file, checked without blocking (a FIFO is refused
// before anyone writes to it). On failure error holds the reason and failure (when given) is
// Open or NotRegular.
bool CheckRegularFile(const std::string& fileName, std::string& error,
                      FileFailure* failure = nullptr);

// The name a save of fileName really replaces: symbolic links followed (at most 40), relative
// link texts taken against the folder of the link. The name itself when it is no link.
std::string ResolveSaveTarget(const std::string& fileName);

// The temporary file name pattern (ending in "XXXXXX" for mkstemp) for saving fileName: in the
// same folder, at most NAME_MAX bytes in its last component (long names are cut).
std::string TemporaryNamePattern(const std::string& fileName);

// Whether the permission bits of an existing file let the caller write it, judged by the bits
// alone (owner, group or other class as they apply; for root: any write bit), so root is told
// about a read-only file as an ordinary user is.
bool PermissionBitsAllowWriting(const std::string& fileName);

// Installs SIGINT and SIGTERM handlers that remove the temporary files of saves in progress and
// then end the program by the same signal. Idempotent.
void InstallTemporaryFileCleanup();
// The registry behind the handlers: names registered are unlinked by them. Registering fails
// (returns false) when every slot is taken or the name is too long; such a file is not cleaned.
bool RegisterTemporaryFile(const std::string& fileName);
void UnregisterTemporaryFile(const std::string& fileName);
