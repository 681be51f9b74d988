// The model file's bytes as the list reader sees them.
//
// A ByteSource hands out the bytes of a stream one at a time, with one byte of
// push-back, from a block buffer that a refill callback fills (the real file
// in large blocks, or bytes held in memory). Memory stays bounded whatever the
// size of the stream, and the per-byte path is a pointer compare.
//
// It shows the stream in the Windows text-mode view on every platform: a CR
// directly followed by an LF reaches the reader as the LF alone, any other CR
// is an ordinary byte, and a byte 26 (Ctrl-Z) ends the data. Once the end of
// the data has been met, every further get() yields kEof without refilling.
#pragma once

#include <cstddef>
#include <span>

namespace slip {

inline constexpr int kEof = -1;

class ByteSource {
 public:
  // Fills `buffer` with up to `capacity` bytes; returns the count, 0 at the
  // end of the stream, or -1 with a system error number in `*error`.
  using Refill = long (*)(void* feed, unsigned char* buffer, std::size_t capacity, int* error);

  // `storage` (at least 2 bytes) is borrowed for the source's whole life.
  ByteSource(std::span<unsigned char> storage, Refill refill, void* feed);

  // The next byte (0..255), or kEof at the end of the data or after a read error.
  int get() { return next_ != end_ ? *next_++ : refillAndGet(); }
  // Pushes back `c`, the byte the last get() returned; kEof is not pushed back.
  void unget(int c) {
    if (c != kEof) --next_;
  }
  // Discards bytes up to and including the next LF; false if the data ended first.
  bool skipRecord();

  // A scanner's own copy of the position, so that a tight loop keeps it in
  // registers; the source sees the position again when the cursor is gone.
  class Cursor {
   public:
    explicit Cursor(ByteSource& source) : source_(source), next_(source.next_), end_(source.end_) {}
    ~Cursor() { source_.next_ = next_; }
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    int get() { return next_ != end_ ? *next_++ : refillAndGet(); }
    void unget(int c) {
      if (c != kEof) --next_;
    }
    // Where `c`, the byte the last get() returned, stands in the block (the
    // end of the data for kEof).
    const unsigned char* at(int c) const { return c != kEof ? next_ - 1 : next_; }

    // For a scanner that reads the block's bytes in place: they end at
    // blockEnd(), and fetchTo(p) fetches every byte before p.
    const unsigned char* blockEnd() const { return end_; }
    void fetchTo(const unsigned char* p) { next_ = p; }

    // Around a call that reads the source through a cursor of its own: the
    // source sees this cursor's position, then this cursor takes up where
    // the other left off. A cursor whose address is never passed on stays
    // in registers.
    void handOver() { source_.next_ = next_; }
    void takeOver() {
      next_ = source_.next_;
      end_ = source_.end_;
    }

   private:
    int refillAndGet() {
      source_.next_ = next_;
      int c = source_.refillAndGet();
      next_ = source_.next_;
      end_ = source_.end_;
      return c;
    }

    ByteSource& source_;
    const unsigned char* next_;
    const unsigned char* end_;
  };

  // Where the next get() takes its byte from, in the current block.
  const unsigned char* position() const { return next_; }

  // `blockDone` is called with each block of the view just before the next
  // refill reuses its storage, so that an observer can see every byte of the
  // view once, in order; the bytes of the last block stay where they are.
  // Positions in the current block are offsets from storage().data().
  using BlockDone = void (*)(void* observer, const unsigned char* begin, const unsigned char* end);
  void setBlockObserver(BlockDone blockDone, void* observer) {
    blockDone_ = blockDone;
    blockObserver_ = observer;
  }
  std::span<unsigned char> storage() const { return storage_; }
  const unsigned char* blockEnd() const { return end_; }

  // The end of the data has been met by a fetch.
  bool atEnd() const { return atEnd_; }
  // The system error number of a failed refill, else 0.
  int readError() const { return readError_; }

 private:
  int refillAndGet();
  std::size_t translate(std::size_t size);

  const unsigned char* next_ = nullptr;
  const unsigned char* end_ = nullptr;
  std::span<unsigned char> storage_;
  Refill refill_;
  void* feed_;
  BlockDone blockDone_ = nullptr;
  void* blockObserver_ = nullptr;
  bool pendingCr_ = false;   // a CR ended the last block; the next byte decides what it is
  bool streamDone_ = false;  // the stream ended or a Ctrl-Z was met; no more refills
  bool atEnd_ = false;
  int readError_ = 0;
};

// Feeds a ByteSource from bytes held in memory, at most `chunk` bytes a refill.
struct MemoryFeed {
  std::span<const unsigned char> bytes;
  std::size_t chunk = static_cast<std::size_t>(-1);
  std::size_t offset = 0;

  static long refill(void* feed, unsigned char* buffer, std::size_t capacity, int* error);
};

}  // namespace slip
