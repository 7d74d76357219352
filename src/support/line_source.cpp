// Line sources: lines split at LF (the CR of a CR LF dropped), files read whole into memory.
#include "support/line_source.hpp"

#include <algorithm>
#include <array>
#include <cerrno>

namespace qel2br::support {

namespace {

constexpr std::size_t kReadBlock = 1U << 16U;

}  // namespace

bool MemoryLines::read_line(std::string_view& line) {
  if (position_ >= contents_.size()) {
    return false;
  }
  last_start_ = position_;
  const std::string_view rest = contents_.substr(position_);
  const std::size_t end = rest.find('\n');
  if (end == std::string_view::npos) {
    line = rest;
    position_ = contents_.size();
  } else {
    line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    position_ += end + 1;
  }
  ++line_number_;
  return true;
}

void MemoryLines::rewind() {
  position_ = 0;
  last_start_ = 0;
  line_number_ = 0;
}

void MemoryLines::step_back() {
  if (line_number_ > 0) {
    position_ = last_start_;
    --line_number_;
  }
}

void MemoryLines::seek(std::size_t offset, std::int64_t lines_before) {
  position_ = std::min(offset, contents_.size());
  last_start_ = position_;
  line_number_ = lines_before;
}

FdLines::FdLines(StandardStream stream) : system_(platform()), file_(system_.standard(stream)) {}

FdLines::FdLines() : system_(platform()), at_end_(true) {}

bool FdLines::read_line(std::string_view& line) {
  // The bytes before from hold no line end: each block read is searched once, so a very long
  // line costs time in proportion to its length.
  std::size_t from = start_;
  int interruptions = 0;
  while (true) {
    const std::size_t end = buffer_.find('\n', from);
    if (end != std::string::npos) {
      line_.assign(buffer_, start_, end - start_);
      start_ = end + 1;
      break;
    }
    if (at_end_) {
      if (start_ >= buffer_.size()) {
        return false;
      }
      line_.assign(buffer_, start_);
      start_ = buffer_.size();
      break;
    }
    if (start_ > 0) {
      buffer_.erase(0, start_);
      start_ = 0;
    }
    from = buffer_.size();
    std::array<char, 4096> block{};
    const Transfer t =
        file_.open() ? system_.read(file_, block) : Transfer{.bytes = 0, .error = kNoSuchFile};
    if (t.error == kInterrupted && ++interruptions < kInterruptionLimit) {
      continue;
    }
    if (t.error != 0 || t.bytes == 0) {
      at_end_ = true;
    } else {
      buffer_.append(block.data(), std::min(t.bytes, block.size()));
    }
  }
  if (!line_.empty() && line_.back() == '\r') {
    // Only the CR of a CR LF is dropped; at the end of input the line had no LF.
    if (start_ > 0 && buffer_[start_ - 1] == '\n') {
      line_.pop_back();
    }
  }
  line_ = system_.answer_text(std::move(line_));
  ++line_number_;
  line = line_;
  return true;
}

FileBuffer::FileBuffer(FileBuffer&& other) noexcept
    : system_(std::exchange(other.system_, nullptr)),
      memory_(std::exchange(other.memory_, {})),
      size_(std::exchange(other.size_, 0)) {}

FileBuffer& FileBuffer::operator=(FileBuffer&& other) noexcept {
  if (this != &other) {
    release();
    system_ = std::exchange(other.system_, nullptr);
    memory_ = std::exchange(other.memory_, {});
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

FileBuffer::~FileBuffer() { release(); }

void FileBuffer::release() {
  if (system_ != nullptr) {
    system_->release_memory(memory_);
  }
  memory_ = {};
  size_ = 0;
}

int FileBuffer::read_all(Platform& system, FileHandle file, std::size_t size) {
  release();
  system_ = &system;
  // One more block than the file's size, so that the end of the file is seen in one read.
  std::size_t capacity = size + kReadBlock;
  int interruptions = 0;
  while (true) {
    if (memory_.size() < capacity) {
      const std::span<char> bigger = system.reserve_memory(capacity);
      if (bigger.empty()) {
        return ENOMEM;
      }
      std::copy_n(memory_.data(), size_, bigger.data());
      system.release_memory(memory_);
      memory_ = bigger;
    }
    const Transfer t = system.read(file, memory_.subspan(size_));
    if (t.error == kInterrupted && ++interruptions < kInterruptionLimit) {
      continue;
    }
    if (t.error != 0) {
      return t.error;
    }
    if (t.bytes == 0) {
      return 0;
    }
    interruptions = 0;
    size_ += std::min(t.bytes, memory_.size() - size_);
    if (size_ == memory_.size()) {
      // The file grew, or its size was not known: double the room.
      capacity = memory_.size() * 2;
    }
  }
}

}  // namespace qel2br::support
