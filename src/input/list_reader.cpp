#include "input/list_reader.h"

#include "input/byte_scan.h"
#include "input/char_classes.h"
#include "input/digit_groups.h"
#include "input/in_place_number.h"

namespace slip {

template <class Observer>
ReadStatus BasicListReader<Observer>::fail(ReadError error) const {
  // A read error of the stream takes precedence over whatever the missing
  // bytes led the scan to see.
  if (source_.readError() != 0) return {ReadError::kListInSystem, source_.readError()};
  return {error, 0};
}

template <class Observer>
ReadStatus BasicListReader<Observer>::recordSkip() {
  observer_.requestStart(false, 0, source_.position());
  if (source_.atEnd()) return fail(ReadError::kReadStart);
  if (!source_.skipRecord() && source_.readError() != 0) return fail(ReadError::kListInSystem);
  return {};
}

// Scans one entry whose first byte `c` has been fetched. On return `c` is the
// byte that ended the entry, fetched but not consumed.
template <class Observer>
ReadError BasicListReader<Observer>::scanEntry(ByteSource::Cursor& in, int& c, Entry& entry) {
  const unsigned char* first = in.at(c);
  if (in.blockEnd() - first >= kInPlaceWindow) {
    int repeat = 1;
    double value = 0.0;
    const unsigned char* stop = zeroInPlace(first);
    if (stop == nullptr) stop = numberInPlace<false>(first, value, repeat);
    if (stop != nullptr) {
      entry = {value, true, repeat};
      c = *stop;
      in.fetchTo(stop + 1);
      return ReadError::kNone;
    }
  }
  in.handOver();
  const ByteScan scan = scanByBytes(source_, c);
  in.takeOver();
  c = scan.c;
  if (scan.error == ReadError::kNone) {
    if (scan.isValue) entry.value = scan.value;
    entry.isValue = scan.isValue;
    entry.repeat = scan.repeat;
  }
  return scan.error;
}

namespace {

// Reads targets[i..count) for as long as each is a common entry that ends,
// with its blanks and its comma, well inside the block that ends at `end`:
// the blanks before the entry (a value read's first entry follows the
// record's leading blank), the entry, the blanks after it, one comma.
// Returns where the next entry's blanks begin, `i` the next target. Anything
// else (a tab, eight blanks in a row, a line end, another layout) is left to
// the value read's steps, from the start of the entry.
template <class Observer>
[[gnu::noinline]] const unsigned char* commonRun(const unsigned char* p, const unsigned char* end, double* targets,
                                                 int& i, int count, Observer& observer) {
  if (end - p < kInPlaceWindow) return p;
  const unsigned char* const last = end - kInPlaceWindow;  // the last place an entry may begin
  const int before = blanksAt(p);
  if (before == 8) return p;
  p += before;
  // Each entry's blanks and comma end where the next entry begins; blanks
  // after a comma are left to the value read's steps.
  int target = i;
  do {
    double value;
    const unsigned char* stop = commonEntryInPlace(p, value);
    if (stop == nullptr) break;
    const int after = blanksAt(stop);
    if (after == 8) break;
    const unsigned char* next = stop + after;
    if (*next <= ',') {  // a digit or a minus is the likeliest next
      if (*next == '\t') break;
      next += *next == ',';
    }
    observer.entryStart(p, target);
    observer.entryEnd(stop, ListEntry{value, true, 1}, target);
    p = next;
    targets[target] = value;
  } while (++target != count && p <= last);
  i = target;
  return p;
}

}  // namespace

template <class Observer>
ReadStatus BasicListReader<Observer>::valueRead(double* targets, int count) {
  observer_.requestStart(true, count, source_.position());
  if (source_.atEnd()) return fail(ReadError::kReadStart);
  {
    ByteSource::Cursor in(source_);
    Entry entry;
    int owed = 0;       // copies of `entry` still to give, the current target's included
    int c = in.get();   // the next byte not yet consumed
    bool slash = false;
    int i = 0;
    while (i < count) {
      if (owed == 0) {
        // A run of common entries, each read in place with its blanks and
        // comma, as the steps below would read it.
        if (c != kEof) {
          const unsigned char* p = in.at(c);
          const unsigned char* q = commonRun(p, in.blockEnd(), targets, i, count, observer_);
          if (q != p) {
            c = *q;
            in.fetchTo(q + 1);
          }
        }
        if (i == count) break;
        CharClass k = classOf(c);
        int crossed = 0;  // line feeds passed here (only an observer counts them)
        while (k == kBlank || k == kNewline) {
          if (k == kNewline && crossed++ == 0) observer_.recordCrossed(in.at(c), i);
          k = classOf(c = in.get());
        }
        if (crossed > 1) observer_.moreRecordsCrossed(crossed - 1, i);
        if (k == kComma) {  // a null for this target; the comma is its separator
          observer_.commaNull(in.at(c), i);
          c = in.get();
          ++i;
          continue;
        }
        if (k == kSlash) {  // this and every later target keep their values
          observer_.slash(in.at(c), i);
          slash = true;
          break;
        }
        observer_.entryStart(in.at(c), i);
        if (k == kEndOfData) {
          observer_.entryFailed(in.at(c), ReadError::kListInEof);
          return fail(ReadError::kListInEof);
        }
        ReadError error = scanEntry(in, c, entry);
        if (error != ReadError::kNone) {
          observer_.entryFailed(in.at(c), error);
          return fail(error);
        }
        observer_.entryEnd(in.at(c), entry, i);
        owed = entry.repeat;
      }
      // After the entry's last copy, its blanks and one comma belong to it.
      while (classOf(c) == kBlank) c = in.get();
      if (c == ',' && owed == 1) c = in.get();
      if (c == kEof && source_.readError() != 0) return fail(ReadError::kListInSystem);
      if (entry.isValue) targets[i] = entry.value;
      --owed;
      ++i;
    }
    // The rest of the record begins at the byte that ended the last entry,
    // or just after the slash.
    observer_.readEnd(slash ? in.at(c) + 1 : in.at(c), owed);
    if (!slash) in.unget(c);
  }
  if (!source_.skipRecord() && source_.readError() != 0) return fail(ReadError::kListInSystem);
  return {};
}

template class BasicListReader<NoReadObserver>;
template class BasicListReader<ReadObserver>;

}  // namespace slip
