// Lines and columns of the model text as the reader sees it.
//
// The tracker walks the byte source's view once, in order: up to a position
// when asked where it stands, and over each whole block just before the
// source reuses the block's storage. It counts lines, keeps the head of the
// current line for excerpts, notices carriage returns that end no line, and
// inspects one open "rest of a record" region at a time. Memory stays bounded
// whatever the size of the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "input/byte_source.h"
#include "input/read_observer.h"

namespace slip::check {

struct Place {
  long long line = 1;    // counted from 1
  long long column = 1;  // byte column, from 1
};

// What the tracker reports while it walks.
class TrackerListener {
 public:
  // A CR not directly followed by an LF (an ordinary character in the view).
  virtual void loneCarriageReturn(Place at) = 0;
  // The open region ended at a line feed or at the end of the data.
  // `firstText`/`lastText` bound its bytes other than blank and tab (column
  // 0 when there are none); `highByte` is the column of its first byte of
  // 128 to 255 (0 when none) and `highValue` that byte.
  virtual void regionClosed(long long line, const std::string& head, long long firstText, long long lastText,
                            long long highByte, int highValue) = 0;
  // Line `line` is complete (or the data ended inside it); `head` holds its
  // first bytes, up to TextTracker::kHeadCapacity.
  virtual void lineDone(long long line, const std::string& head) = 0;

 protected:
  ~TrackerListener() = default;
};

class TextTracker {
 public:
  static constexpr std::size_t kHeadCapacity = 4096;

  TextTracker(ByteSource& source, TrackerListener& listener);

  // The view offset of a position in the source's current block.
  long long offset(TextPosition at) const { return blockOffset_ + (at - base_); }
  // Walks up to `at` (in the current block) and says where it stands.
  Place locate(TextPosition at);
  // The place of a view offset on the current line (at or before the walk).
  Place placeOf(long long offset) const;
  // The bytes at view offsets [from, to) of the current line, up to the
  // walk; empty when they lie beyond the head or before the line.
  std::string_view text(long long from, long long to) const;

  // From `at` to the end of its line, bytes are inspected for regionClosed.
  void openRegion(TextPosition at);
  // Walks to the end of the current line, taking more bytes from the source
  // if need be (at most the head's capacity), and ends the walk there.
  void finishLine();
  // Ends the walk at the end of what the source has shown.
  void finish();
  // lineDone is called for lines up to `line` when they are complete (only
  // for lines something waits on, so that a flood of plain lines costs little).
  void watchLine(long long line) {
    if (line > watchUntil_) watchUntil_ = line;
  }

 private:
  static void blockDone(void* self, const unsigned char* begin, const unsigned char* end);
  void walkTo(const unsigned char* to);
  void walkSegment(const unsigned char* from, const unsigned char* to);
  void walkText(const unsigned char* from, const unsigned char* stop);
  void endLine();
  void closeRegion();

  ByteSource& source_;
  TrackerListener& listener_;
  const unsigned char* base_;
  const unsigned char* scan_;      // next byte of the current block not yet walked
  long long blockOffset_ = 0;      // view offset of the current block's first byte
  long long line_ = 1;
  long long lineStart_ = 0;        // view offset of the current line's first byte
  std::string head_;               // the current line's first bytes
  bool regionOpen_ = false;
  long long firstText_ = 0, lastText_ = 0, highByte_ = 0;
  int highValue_ = 0;
  bool finished_ = false;
  long long watchUntil_ = 0;
};

}  // namespace slip::check
