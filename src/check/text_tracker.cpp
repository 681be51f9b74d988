#include "check/text_tracker.h"

#include <cstring>

namespace slip::check {

TextTracker::TextTracker(ByteSource& source, TrackerListener& listener)
    : source_(source), listener_(listener), base_(source.storage().data()), scan_(base_) {
  source_.setBlockObserver(&TextTracker::blockDone, this);
  head_.reserve(kHeadCapacity);
}

void TextTracker::blockDone(void* self, const unsigned char* begin, const unsigned char* end) {
  TextTracker& t = *static_cast<TextTracker*>(self);
  if (t.finished_) return;
  t.walkTo(end);
  t.blockOffset_ += end - begin;
  t.scan_ = t.base_;
}

Place TextTracker::locate(TextPosition at) {
  walkTo(at);
  return placeOf(offset(at));
}

Place TextTracker::placeOf(long long at) const {
  long long column = at - lineStart_ + 1;
  return {line_, column < 1 ? 1 : column};
}

std::string_view TextTracker::text(long long from, long long to) const {
  const long long size = static_cast<long long>(head_.size());
  if (from < lineStart_ || to < from || to - lineStart_ > size) return {};
  return std::string_view(head_).substr(static_cast<std::size_t>(from - lineStart_), static_cast<std::size_t>(to - from));
}

void TextTracker::openRegion(TextPosition at) {
  walkTo(at);
  regionOpen_ = true;
  firstText_ = lastText_ = highByte_ = 0;
  highValue_ = 0;
}

void TextTracker::walkTo(const unsigned char* to) {
  if (finished_ || to <= scan_) return;
  walkSegment(scan_, to);
  scan_ = to;
}

// Walks [from, to): the bytes of one block, in order.
void TextTracker::walkSegment(const unsigned char* from, const unsigned char* to) {
  while (from < to) {
    if (*from == '\n' && head_.empty() && !regionOpen_ && line_ > watchUntil_) {
      // A run of empty lines that nothing waits on: count them.
      const unsigned char* p = from;
      while (p < to && *p == '\n') ++p;
      line_ += p - from;
      lineStart_ = offset(p);
      from = p;
      continue;
    }
    const void* found = std::memchr(from, '\n', static_cast<std::size_t>(to - from));
    const unsigned char* stop = found != nullptr ? static_cast<const unsigned char*>(found) : to;
    const std::size_t size = static_cast<std::size_t>(stop - from);
    if (size > 0) walkText(from, stop);
    if (regionOpen_) {
      for (const unsigned char* p = from; p < stop; ++p) {
        long long column = offset(p) - lineStart_ + 1;
        if (*p != ' ' && *p != '\t') {
          if (firstText_ == 0) firstText_ = column;
          lastText_ = column;
        }
        if (*p >= 128 && highByte_ == 0) {
          highByte_ = column;
          highValue_ = *p;
        }
      }
    }
    if (found == nullptr) return;
    endLine();
    lineStart_ = offset(stop) + 1;
    from = stop + 1;
  }
}

// The bytes of a line before its line feed.
void TextTracker::walkText(const unsigned char* from, const unsigned char* stop) {
  const std::size_t size = static_cast<std::size_t>(stop - from);
  if (head_.size() < kHeadCapacity) {
    std::size_t room = kHeadCapacity - head_.size();
    head_.append(reinterpret_cast<const char*>(from), size < room ? size : room);
  }
  for (const unsigned char* cr = from;
       (cr = static_cast<const unsigned char*>(std::memchr(cr, '\r', static_cast<std::size_t>(stop - cr))));
       ++cr) {
    listener_.loneCarriageReturn(placeOf(offset(cr)));
  }
}

void TextTracker::closeRegion() {
  if (!regionOpen_) return;
  regionOpen_ = false;
  listener_.regionClosed(line_, head_, firstText_, lastText_, highByte_, highValue_);
}

void TextTracker::endLine() {
  closeRegion();
  if (line_ <= watchUntil_) listener_.lineDone(line_, head_);
  ++line_;
  head_.clear();
}

void TextTracker::finishLine() {
  if (finished_) return;
  // The rest of the line in the current block, then from the source.
  const unsigned char* end = source_.blockEnd();
  if (end != nullptr && scan_ < end) {
    const void* lf = std::memchr(scan_, '\n', static_cast<std::size_t>(end - scan_));
    if (lf != nullptr) {
      walkTo(static_cast<const unsigned char*>(lf) + 1);
      finished_ = true;
      return;
    }
    walkTo(end);
  }
  // The line goes on past this block: read on (the reader is done with the
  // source) until its line feed or until the head is full.
  while (head_.size() < kHeadCapacity) {
    int c = source_.get();
    if (c == kEof) break;
    walkTo(source_.position());
    if (c == '\n') {
      finished_ = true;
      return;
    }
  }
  finish();
}

void TextTracker::finish() {
  if (finished_) return;
  finished_ = true;
  closeRegion();
  listener_.lineDone(line_, head_);
}

}  // namespace slip::check
