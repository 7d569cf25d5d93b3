// Whether CSV text read so far stands inside a quoted field: the one rule by which the block reader
// cuts the input and the converter gathers a record over lines, so that both agree.
#pragma once

namespace miralto::cli {

class CsvQuotes {
 public:
  // True while a quoted field is open: a line end here is part of the field.
  bool open() const { return state_ == kQuoted; }

  // Takes the next byte. A quote opens a field only at its start: a stray one in a field is the
  // CSV reader's to refuse, and must not swallow the lines after it. A doubled quote inside a
  // quoted field stands for a quote.
  void Step(char c) {
    switch (state_) {
      case kQuoted:
        if (c == '"') state_ = kClosed;
        break;
      case kFieldStart:
        state_ = c == '"' ? kQuoted : Next(c);
        break;
      case kClosed:
        state_ = c == '"' ? kQuoted : Next(c);
        break;
      case kField:
        state_ = Next(c);
        break;
    }
  }

 private:
  enum State : unsigned char { kFieldStart, kField, kQuoted, kClosed };
  static State Next(char c) { return c == ',' || c == '\n' ? kFieldStart : kField; }
  State state_ = kFieldStart;
};

}  // namespace miralto::cli
