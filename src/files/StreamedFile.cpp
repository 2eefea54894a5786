#include "files/StreamedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

std::string SystemReason() { return std::strerror(errno); }

// The permission bits of the new file: those of the file it replaces, else 0666 less the umask.
mode_t ModeFor(const std::string& target) {
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool StreamedFile::Open(const std::string& fileName, std::string& error, FileFailure* failure) {
  Abort();
  if (failure) *failure = FileFailure::None;
  target_ = ResolveSaveTarget(fileName);
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0) {
    const bool writable = S_ISREG(st.st_mode) && PermissionBitsAllowWriting(target_);
    if (!writable) {
      error = std::strerror(S_ISDIR(st.st_mode) ? EISDIR : EACCES);
      if (failure) *failure = S_ISREG(st.st_mode) ? FileFailure::ReadOnly : FileFailure::Open;
      return false;
    }
  }
  const std::string pattern = TemporaryNamePattern(target_);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) {
    error = SystemReason();
    if (failure) *failure = FileFailure::Open;
    return false;
  }
  temporary_ = name.data();
  RegisterTemporaryFile(temporary_);
  end_ = 0;
  if (::fchmod(fd_, ModeFor(target_)) != 0) {
    error = SystemReason();
    Abort();
    if (failure) *failure = FileFailure::Open;
    return false;
  }
  return true;
}

bool StreamedFile::WriteAt(std::uint64_t offset, std::string_view bytes, std::string& error) {
  if (fd_ < 0) {
    error = std::strerror(EBADF);
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                               static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? SystemReason() : std::strerror(ENOSPC);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (offset + bytes.size() > end_) end_ = offset + bytes.size();
#ifdef SYNC_FILE_RANGE_WRITE
  // The disk starts on these bytes while the next are made, so that the flush in Commit finds
  // less left to write. Advice only: a failure changes nothing.
  ::sync_file_range(fd_, static_cast<off_t>(offset), static_cast<off_t>(bytes.size()),
                    SYNC_FILE_RANGE_WRITE);
#endif
  return true;
}

bool StreamedFile::Commit(std::string& error) {
  if (fd_ < 0) {
    error = std::strerror(EBADF);
    return false;
  }
  bool ok = ::fsync(fd_) == 0;
  if (!ok) error = SystemReason();
  if (::close(fd_) != 0 && ok) {
    ok = false;
    error = SystemReason();
  }
  fd_ = -1;
  if (ok && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    ok = false;
    error = SystemReason();
  }
  if (!ok) ::unlink(temporary_.c_str());
  UnregisterTemporaryFile(temporary_);
  temporary_.clear();
  return ok;
}

void StreamedFile::Abort() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    UnregisterTemporaryFile(temporary_);
    temporary_.clear();
  }
}
