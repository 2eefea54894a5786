#include "files/PosterBandFile.h"

#include <sys/stat.h>

#include <cstring>

#include "files/PictureFile.h"

namespace {

constexpr std::string_view kMagic = "KORVANA-BAND 1\n";
// Longest document text a band file may carry (the bound of every XML reader).
constexpr std::uint32_t kMaxText = 8u << 20;

void Put32(std::string& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

std::uint32_t Get32(const char* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(p[i]);
  return v;
}

std::string ReadPrefix(const std::string& name) { return "Cannot read band file \"" + name + "\": "; }

}  // namespace

bool PosterBandWriter::Open(const std::string& fileName, const PosterBandHeader& header,
                            std::string& error) {
  header_ = header;
  written_ = 0;
  std::string reason;
  FileFailure failure = FileFailure::None;
  if (!file_.Open(fileName, reason, &failure)) {
    error = PictureSaveFailureText(failure, reason);
    return false;
  }
  std::string head(kMagic);
  for (int v : {header.width, header.height, header.first, header.count}) {
    Put32(head, static_cast<std::uint32_t>(v));
  }
  Put32(head, static_cast<std::uint32_t>(header.documentText.size()));
  head += header.documentText;
  if (!file_.Append(head, reason)) {
    error = PictureSaveFailureText(FileFailure::Write, reason);
    file_.Abort();
    return false;
  }
  return true;
}

bool PosterBandWriter::WriteRows(int count, const std::uint8_t* display,
                                 const std::uint8_t* exported, std::string& error) {
  const std::size_t width = static_cast<std::size_t>(header_.width);
  std::string reason;
  for (int r = 0; r < count; ++r) {
    const bool ok =
        file_.Append({reinterpret_cast<const char*>(display) + r * width * 3, width * 3}, reason) &&
        file_.Append({reinterpret_cast<const char*>(exported) + r * width * 4, width * 4}, reason);
    if (!ok) {
      error = PictureSaveFailureText(FileFailure::Write, reason);
      file_.Abort();
      return false;
    }
  }
  written_ += count;
  return true;
}

bool PosterBandWriter::Finish(std::string& error) {
  std::string reason;
  if (written_ != header_.count) {
    file_.Abort();
    error = "The band is incomplete.";
    return false;
  }
  if (!file_.Commit(reason)) {
    error = PictureSaveFailureText(FileFailure::Write, reason);
    return false;
  }
  return true;
}

bool PosterBandReader::Open(const std::string& fileName, std::string& error) {
  name_ = fileName;
  std::string reason;
  if (!CheckRegularFile(fileName, reason)) {
    error = ReadPrefix(fileName) + reason + ".";
    return false;
  }
  in_.open(fileName, std::ios::binary);
  char head[kMagic.size() + 20];
  if (!in_ || !in_.read(head, sizeof head) || std::string_view(head, kMagic.size()) != kMagic) {
    error = ReadPrefix(fileName) + "it is not a band file of korvana-render.";
    return false;
  }
  const char* p = head + kMagic.size();
  const std::uint32_t width = Get32(p), height = Get32(p + 4), first = Get32(p + 8),
                      count = Get32(p + 12), text = Get32(p + 16);
  const bool sane = width >= 1 && height >= 1 && width <= 0x7FFFFFFF && height <= 0x7FFFFFFF &&
                    count >= 1 && first < height && count <= height - first && text <= kMaxText;
  if (!sane) {
    error = ReadPrefix(fileName) + "its header is damaged.";
    return false;
  }
  header_.width = static_cast<int>(width);
  header_.height = static_cast<int>(height);
  header_.first = static_cast<int>(first);
  header_.count = static_cast<int>(count);
  header_.documentText.assign(text, '\0');
  if (text > 0 && !in_.read(header_.documentText.data(), text)) {
    error = ReadPrefix(fileName) + "it is cut short.";
    return false;
  }
  struct stat st {};
  const std::uint64_t expected = sizeof head + std::uint64_t{text} + header_.RowBytes() * count;
  if (::stat(fileName.c_str(), &st) != 0 || static_cast<std::uint64_t>(st.st_size) != expected) {
    error = ReadPrefix(fileName) + "its length does not match its rows (cut short or damaged).";
    return false;
  }
  row_.resize(header_.RowBytes());
  return true;
}

bool PosterBandReader::ReadRows(int count, std::uint8_t* display, std::uint8_t* exported,
                                std::string& error) {
  const std::size_t width = static_cast<std::size_t>(header_.width);
  for (int r = 0; r < count; ++r) {
    if (!in_.read(row_.data(), static_cast<std::streamsize>(row_.size()))) {
      error = ReadPrefix(name_) + "it is cut short.";
      return false;
    }
    if (display) std::memcpy(display + r * width * 3, row_.data(), width * 3);
    if (exported) std::memcpy(exported + r * width * 4, row_.data() + width * 3, width * 4);
  }
  return true;
}
