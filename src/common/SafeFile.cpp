#include "common/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

std::string SystemReason() { return std::strerror(errno); }

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

}  // namespace

bool WriteFileAtomically(const std::string& fileName, std::string_view bytes, std::string& error) {
  std::string pattern = fileName + ".tmpXXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = SystemReason();
    return false;
  }
  const std::string tempName(name.data());
  bool ok = ::fchmod(fd, ModeFor(fileName)) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (!ok) error = SystemReason();
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = SystemReason();
  }
  if (ok && ::rename(tempName.c_str(), fileName.c_str()) != 0) {
    ok = false;
    error = SystemReason();
  }
  if (!ok) ::unlink(tempName.c_str());
  return ok;
}

bool ReadWholeFile(const std::string& fileName, std::string& bytes, std::string& error,
                   std::size_t maxBytes) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    error = SystemReason();
    return false;
  }
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0) {
    error = "cannot determine the size of the file";
    return false;
  }
  if (static_cast<std::uintmax_t>(size) > maxBytes) {
    error = "the file is too large";
    return false;
  }
  in.seekg(0, std::ios::beg);
  bytes.assign(static_cast<std::size_t>(size), '\0');
  if (size > 0 && !in.read(bytes.data(), size)) {
    error = "cannot read the file";
    return false;
  }
  return true;
}
