#include "cli/pipeline.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <sched.h>
#include <unistd.h>
#endif

namespace miralto::cli {

namespace {

// One read of at most `size` bytes: what is there, without waiting for more.
std::size_t ReadSome(int fd, char* data, std::size_t size) {
  for (;;) {
#ifdef _WIN32
    const int got = _read(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
#else
    const ssize_t got = read(fd, data, size);
#endif
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw std::runtime_error("cannot read the input");
  }
}

}  // namespace

BlockReader::BlockReader(std::FILE* in, bool csv, std::size_t block_size)
    : fd_(fileno(in)),
      csv_(csv),
      block_size_(std::max<std::size_t>(block_size, 1)),
      buffer_(block_size_, '\0') {}

std::size_t BlockReader::Cut() {
  if (!csv_) {
    const auto* data = buffer_.data();
    for (std::size_t i = filled_; i > scanned_; --i) {
      if (data[i - 1] == '\n') {
        last_end_ = i;
        break;
      }
    }
  } else {
    std::size_t i = scanned_;
    if (!started_) {
      // The converter drops a byte-order mark before the first field: so does the quote rule.
      const std::string_view head(buffer_.data(), std::min(filled_, kByteOrderMark.size()));
      if (head.size() < kByteOrderMark.size() && kByteOrderMark.starts_with(head))
        return last_end_;  // wait
      started_ = true;
      if (head == kByteOrderMark) i = kByteOrderMark.size();
    }
    for (; i < filled_; ++i) {
      const char c = buffer_[i];
      quotes_.Step(c);
      if (c == '\n' && !quotes_.open()) last_end_ = i + 1;
    }
  }
  scanned_ = filled_;
  return last_end_;
}

bool BlockReader::Next(std::string& block) {
  block.clear();
  for (;;) {
    if (at_end_) {
      if (filled_ == 0) return false;
      block.assign(buffer_.data(), filled_);
      filled_ = scanned_ = last_end_ = 0;
      return true;
    }
    if (filled_ == buffer_.size()) buffer_.resize(2 * buffer_.size());  // a line longer than that
    const std::size_t asked = buffer_.size() - filled_;
    const std::size_t got = ReadSome(fd_, buffer_.data() + filled_, asked);
    if (got == 0) {
      at_end_ = true;
      continue;
    }
    // Either the buffer is full or the read was short, and then nothing more is waiting: hand on
    // what is whole now.
    filled_ += got;
    const std::size_t cut = Cut();
    if (cut == 0) continue;
    block.assign(buffer_.data(), cut);
    std::memmove(buffer_.data(), buffer_.data() + cut, filled_ - cut);
    filled_ -= cut;
    scanned_ -= cut;
    last_end_ = 0;
    if (buffer_.size() > block_size_ && filled_ <= block_size_) buffer_.resize(block_size_);
    return true;
  }
}

unsigned AvailableCores() {
#if defined(__linux__)
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return static_cast<unsigned>(count);
  }
#endif
  return std::max(1u, std::thread::hardware_concurrency());
}

void WriteAll(std::FILE* out, std::string_view bytes) {
  if ((!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) ||
      std::fflush(out) != 0) {
    throw std::runtime_error("cannot write the output");
  }
}

namespace {

// What the reader, the converting threads and the writer share. The reader may be left blocked in
// a read when the output fails: it holds the state too, so that it outlives the call.
struct Shared {
  enum class State { kFree, kFilled, kConverted };
  struct Slot {
    std::string input;
    std::string output;
    LineNumber number = 0;  // the line before the block
    bool ok = true;
    State state = State::kFree;
  };

  Shared(const Options& options, unsigned threads) : document(options), slots(2 * threads + 2) {
    for (unsigned i = 0; i < threads; ++i)
      converters.push_back(std::make_unique<Converter>(options));
  }

  Slot& At(std::uint64_t sequence) { return slots[sequence % slots.size()]; }

  void Fail(std::exception_ptr error) {
    const std::lock_guard lock(mutex);
    if (!failure) failure = error;
    stop = true;
    changed.notify_all();
  }

  Converter document;  // writes the document's start and end, and joins its parts
  std::vector<std::unique_ptr<Converter>> converters;
  std::vector<Slot> slots;
  std::mutex mutex;
  std::condition_variable changed;
  std::uint64_t filled = 0;   // blocks handed on by the reader
  std::uint64_t taken = 0;    // blocks taken by a converting thread
  std::uint64_t written = 0;  // blocks written
  bool input_done = false;
  bool stop = false;
  std::exception_ptr failure;
};

// The length of the first record of `text`, its line end included: up to the first LF, or in CSV
// the first LF outside quotes (by the block reader's rule); all of `text` when none ends it.
std::size_t FirstRecordEnd(std::string_view text, bool csv) {
  std::size_t i = 0;
  if (csv && text.starts_with(kByteOrderMark)) i = kByteOrderMark.size();
  CsvQuotes quotes;
  for (; i < text.size(); ++i) {
    if (csv) quotes.Step(text[i]);
    if (text[i] == '\n' && !quotes.open()) return i + 1;
  }
  return text.size();
}

void Read(const std::shared_ptr<Shared>& shared, std::FILE* in, bool csv, bool header,
          std::size_t block_size) {
  Shared& s = *shared;
  try {
    BlockReader reader(in, csv, block_size);
    LineNumber lines = 0;
    std::string scratch;
    for (std::uint64_t sequence = 0;; ++sequence) {
      Shared::Slot* slot = nullptr;
      {
        std::unique_lock lock(s.mutex);
        s.changed.wait(lock,
                       [&] { return s.stop || s.At(sequence).state == Shared::State::kFree; });
        if (s.stop) return;
        slot = &s.At(sequence);
      }
      if (!reader.Next(slot->input)) break;
      if (sequence == 0 && header) {
        // Every converter learns the header's names; none has a block yet. A CSV header may run
        // over lines: it is the whole first record, which the first block holds.
        const std::string_view first(slot->input.data(), FirstRecordEnd(slot->input, csv));
        for (const auto& converter : s.converters) {
          LineNumber number = 0;
          scratch.clear();
          converter->ConvertLines(first, number, scratch);
        }
      }
      slot->number = lines;
      lines += static_cast<LineNumber>(std::count(slot->input.begin(), slot->input.end(), '\n'));
      const std::lock_guard lock(s.mutex);
      slot->state = Shared::State::kFilled;
      s.filled = sequence + 1;
      s.changed.notify_all();
    }
  } catch (...) {
    s.Fail(std::current_exception());
    return;
  }
  const std::lock_guard lock(s.mutex);
  s.input_done = true;
  s.changed.notify_all();
}

void Convert(Shared& s, Converter& converter) {
  try {
    for (;;) {
      Shared::Slot* slot = nullptr;
      {
        std::unique_lock lock(s.mutex);
        s.changed.wait(lock, [&] { return s.stop || s.taken < s.filled || s.input_done; });
        if (s.stop || s.taken == s.filled) return;
        slot = &s.At(s.taken++);
      }
      converter.StartPart();
      slot->output.clear();
      LineNumber number = slot->number;
      slot->ok = converter.ConvertLines(slot->input, number, slot->output);
      const std::lock_guard lock(s.mutex);
      slot->state = Shared::State::kConverted;
      s.changed.notify_all();
    }
  } catch (...) {
    s.Fail(std::current_exception());
  }
}

// Writes the blocks in input order as they are converted.
bool Write(Shared& s, std::FILE* out) {
  Converter& first = s.document;
  std::string bytes;
  first.Begin(bytes);
  WriteAll(out, bytes);
  const std::string separator(first.RecordSeparator());
  bool records_before = false;
  bool all_ok = true;
  for (std::uint64_t sequence = 0;; ++sequence) {
    Shared::Slot* slot = nullptr;
    {
      std::unique_lock lock(s.mutex);
      s.changed.wait(lock, [&] {
        return s.stop || s.At(sequence).state == Shared::State::kConverted ||
               (s.input_done && s.filled == sequence);
      });
      if (s.stop) return false;
      if (s.At(sequence).state != Shared::State::kConverted) break;
      slot = &s.At(sequence);
    }
    if (!slot->output.empty()) {
      if (records_before && !separator.empty()) {
        if (std::fwrite(separator.data(), 1, separator.size(), out) != separator.size()) {
          throw std::runtime_error("cannot write the output");
        }
      }
      records_before = true;
      WriteAll(out, slot->output);
    }
    all_ok = slot->ok && all_ok;
    const std::lock_guard lock(s.mutex);
    slot->state = Shared::State::kFree;
    s.changed.notify_all();
  }
  bytes.clear();
  first.End(bytes);
  WriteAll(out, bytes);
  return all_ok;
}

}  // namespace

bool ConvertStream(const Options& options, std::FILE* in, std::FILE* out, unsigned threads,
                   std::size_t block_size) {
  if (threads <= 1) return Converter(options).ConvertStream(in, out);
  auto shared = std::make_shared<Shared>(options, threads);
  std::vector<std::thread> converting;
  std::thread reader(Read, shared, in, options.csv, options.header, block_size);
  for (const auto& converter : shared->converters) {
    converting.emplace_back(Convert, std::ref(*shared), std::ref(*converter));
  }
  bool all_ok = false;
  try {
    all_ok = Write(*shared, out);
  } catch (...) {
    shared->Fail(std::current_exception());
  }
  for (std::thread& thread : converting) thread.join();
  {
    std::unique_lock lock(shared->mutex);
    if (shared->failure) {
      // The reader may wait on input that never comes: it keeps the shared state alive.
      lock.unlock();
      reader.detach();
      std::rethrow_exception(shared->failure);
    }
  }
  reader.join();
  return all_ok;
}

}  // namespace miralto::cli
