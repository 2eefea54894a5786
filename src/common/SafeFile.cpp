#include "common/SafeFile.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

std::string SystemReason() { return std::strerror(errno); }

void SetFailure(FileFailure* failure, FileFailure value) {
  if (failure != nullptr) *failure = value;
}

// Permissions for a new file: those of the file it replaces, else 0666 less the umask.
mode_t ModeFor(const std::string& fileName) {
  struct stat st {};
  if (::stat(fileName.c_str(), &st) == 0) return st.st_mode & 07777;
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Opens without blocking (a FIFO without writer, a device that waits) and returns to blocking
// I/O once the descriptor is there. -1 with errno on failure.
int OpenNonBlocking(const std::string& fileName, int flags) {
  int fd = ::open(fileName.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  int current = ::fcntl(fd, F_GETFL);
  if (current < 0 || ::fcntl(fd, F_SETFL, current & ~O_NONBLOCK) < 0) {
    int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
  }
  return fd;
}

// A target that is no regular file (a device, a FIFO with a reader) gets the bytes directly: it
// is never replaced by a regular file.
bool WriteDirectly(const std::string& fileName, std::string_view bytes, std::string& error,
                   FileFailure* failure) {
  int fd = OpenNonBlocking(fileName, O_WRONLY);
  if (fd < 0) {
    error = SystemReason();
    SetFailure(failure, FileFailure::Open);
    return false;
  }
  bool ok = WriteAll(fd, bytes);
  if (!ok) error = SystemReason();
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = SystemReason();
  }
  if (!ok) SetFailure(failure, FileFailure::Write);
  return ok;
}

// The names of temporary files being written, for the signal handlers. Each slot is claimed
// (1) while its name is copied and published (2) once complete; the handler reads only
// published slots, with lock-free atomics and unlink, which are safe in a signal handler.
constexpr int kSlots = 16;
struct TemporarySlot {
  std::atomic<int> state{0};
  char name[PATH_MAX]{};
};
TemporarySlot temporarySlots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free);

void RemoveTemporaryFilesAndReraise(int signalNumber) {
  for (TemporarySlot& slot : temporarySlots) {
    if (slot.state.load(std::memory_order_acquire) == 2) ::unlink(slot.name);
  }
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

}  // namespace

bool RegisterTemporaryFile(const std::string& fileName) {
  if (fileName.size() >= PATH_MAX) return false;
  for (TemporarySlot& slot : temporarySlots) {
    int expected = 0;
    if (!slot.state.compare_exchange_strong(expected, 1, std::memory_order_acquire)) continue;
    std::memcpy(slot.name, fileName.c_str(), fileName.size() + 1);
    slot.state.store(2, std::memory_order_release);
    return true;
  }
  return false;
}

void UnregisterTemporaryFile(const std::string& fileName) {
  for (TemporarySlot& slot : temporarySlots) {
    if (slot.state.load(std::memory_order_acquire) == 2 && fileName == slot.name) {
      slot.state.store(0, std::memory_order_release);
      return;
    }
  }
}

void InstallTemporaryFileCleanup() {
  struct sigaction action {};
  action.sa_handler = RemoveTemporaryFilesAndReraise;
  sigemptyset(&action.sa_mask);
  for (int signalNumber : {SIGINT, SIGTERM}) ::sigaction(signalNumber, &action, nullptr);
}

std::string ResolveSaveTarget(const std::string& fileName) {
  std::string name = fileName;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return name;
    std::vector<char> buffer(static_cast<std::size_t>(PATH_MAX) + 1);
    ssize_t n = ::readlink(name.c_str(), buffer.data(), buffer.size() - 1);
    if (n <= 0) return name;
    std::string link(buffer.data(), static_cast<std::size_t>(n));
    const auto slash = name.rfind('/');
    name = link.front() == '/' || slash == std::string::npos ? link
                                                              : name.substr(0, slash + 1) + link;
  }
  return name;
}

std::string TemporaryNamePattern(const std::string& fileName) {
  static constexpr std::string_view kSuffix = ".tmpXXXXXX";
  const auto slash = fileName.rfind('/');
  const std::size_t baseStart = slash == std::string::npos ? 0 : slash + 1;
  std::string base = fileName.substr(baseStart);
  if (base.size() + kSuffix.size() > NAME_MAX) base.resize(NAME_MAX - kSuffix.size());
  return fileName.substr(0, baseStart) + base + std::string(kSuffix);
}

bool PermissionBitsAllowWriting(const std::string& fileName) {
  struct stat st {};
  if (::stat(fileName.c_str(), &st) != 0) return true;
  const uid_t user = ::geteuid();
  if (user == 0) return (st.st_mode & 0222) != 0;
  if (st.st_uid == user) return (st.st_mode & S_IWUSR) != 0;
  bool inGroup = st.st_gid == ::getegid();
  if (!inGroup) {
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(count > 0 ? count : 0));
    const int got = count > 0 ? ::getgroups(count, groups.data()) : 0;
    for (int i = 0; i < got && !inGroup; ++i) inGroup = groups[static_cast<std::size_t>(i)] == st.st_gid;
  }
  return (st.st_mode & (inGroup ? S_IWGRP : S_IWOTH)) != 0;
}

bool WriteFileAtomically(const std::string& fileName, std::string_view bytes, std::string& error,
                         FileFailure* failure) {
  SetFailure(failure, FileFailure::None);
  const std::string target = ResolveSaveTarget(fileName);
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      error = std::strerror(EISDIR);
      SetFailure(failure, FileFailure::Open);
      return false;
    }
    if (!S_ISREG(st.st_mode)) return WriteDirectly(target, bytes, error, failure);
    if (!PermissionBitsAllowWriting(target)) {
      error = std::strerror(EACCES);
      SetFailure(failure, FileFailure::ReadOnly);
      return false;
    }
  }
  const std::string pattern = TemporaryNamePattern(target);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = SystemReason();
    SetFailure(failure, FileFailure::Open);
    return false;
  }
  const std::string tempName(name.data());
  RegisterTemporaryFile(tempName);
  bool ok = ::fchmod(fd, ModeFor(target)) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (!ok) error = SystemReason();
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = SystemReason();
  }
  if (!ok) SetFailure(failure, FileFailure::Write);
  if (ok && ::rename(tempName.c_str(), target.c_str()) != 0) {
    ok = false;
    error = SystemReason();
    SetFailure(failure, FileFailure::Open);
  }
  if (!ok) ::unlink(tempName.c_str());
  UnregisterTemporaryFile(tempName);
  return ok;
}

namespace {

// Opens a regular file for reading without blocking (a FIFO is refused before anyone writes to
// it); fills st. Returns the descriptor, or -1 with error and failure set.
int OpenRegularFile(const std::string& fileName, struct stat& st, std::string& error,
                    FileFailure* failure) {
  int fd = OpenNonBlocking(fileName, O_RDONLY);
  if (fd < 0) {
    error = SystemReason();
    SetFailure(failure, FileFailure::Open);
    return -1;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    error = "not a regular file";
    SetFailure(failure, FileFailure::NotRegular);
    return -1;
  }
  SetFailure(failure, FileFailure::None);
  return fd;
}

}  // namespace

bool CheckRegularFile(const std::string& fileName, std::string& error, FileFailure* failure) {
  struct stat st {};
  const int fd = OpenRegularFile(fileName, st, error, failure);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

namespace {

// Reads a regular file; more than maxBytes is a failure unless `prefix`, when only the first
// maxBytes are read.
bool ReadRegularFile(const std::string& fileName, std::string& bytes, std::string& error,
                     std::size_t maxBytes, FileFailure* failure, bool prefix) {
  struct stat st {};
  const int fd = OpenRegularFile(fileName, st, error, failure);
  if (fd < 0) return false;
  if (!prefix && static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
    ::close(fd);
    error = "the file is too large";
    SetFailure(failure, FileFailure::TooLarge);
    return false;
  }
  // The size is a hint: a file that grows meanwhile is read up to one byte past the limit.
  std::string data;
  data.resize(static_cast<std::size_t>(
      std::min<std::uintmax_t>(static_cast<std::uintmax_t>(st.st_size), maxBytes)));
  std::size_t filled = 0;
  for (;;) {
    if (filled == data.size()) {
      if (data.size() > maxBytes || (prefix && data.size() == maxBytes)) break;
      data.resize(std::min(maxBytes + 1, data.size() + 65536));
    }
    ssize_t n = ::read(fd, data.data() + filled, data.size() - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = SystemReason();
      ::close(fd);
      SetFailure(failure, FileFailure::Read);
      return false;
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  ::close(fd);
  data.resize(filled);
  if (data.size() > maxBytes) {
    error = "the file is too large";
    SetFailure(failure, FileFailure::TooLarge);
    return false;
  }
  bytes = std::move(data);
  return true;
}

}  // namespace

bool ReadWholeFile(const std::string& fileName, std::string& bytes, std::string& error,
                   std::size_t maxBytes, FileFailure* failure) {
  return ReadRegularFile(fileName, bytes, error, maxBytes, failure, false);
}

bool ReadFilePrefix(const std::string& fileName, std::string& bytes, std::string& error,
                    std::size_t maxBytes, FileFailure* failure) {
  return ReadRegularFile(fileName, bytes, error, maxBytes, failure, true);
}
