#include "input/subfault_groups.h"

namespace slip {
namespace {

template <class Reader>
class GroupReader {
 public:
  GroupReader(Reader& reader, void (*startStatement)())
      : reader_(reader), startStatement_(startStatement) {}

  bool values(double* targets, int count) {
    if (startStatement_ != nullptr) startStatement_();
    status_ = reader_.valueRead(targets, count);
    return status_.ok();
  }
  bool skip() {
    if (startStatement_ != nullptr) startStatement_();
    status_ = reader_.recordSkip();
    return status_.ok();
  }
  // The 49 samples of one component: four reads of 10, one of 9.
  bool samples(double* first) {
    for (int i = 0; i <= 3; ++i) {
      int jj = 10 * i;
      if (!values(first + jj, 10)) return false;
    }
    return values(first + 40, 9);
  }
  const ReadStatus& status() const { return status_; }

 private:
  Reader& reader_;
  void (*startStatement_)();
  ReadStatus status_;
};

template <class Reader>
ReadStatus readGroups(Reader& reader, SubfaultGrid& grid, void (*startStatement)()) {
  GroupReader<Reader> group(reader, startStatement);
  for (int iw = 1; iw <= grid.nw; ++iw) {
    for (int il = 1; il <= grid.nl; ++il) {
      // The targets of one read are contiguous: the slot or sample index is fastest.
      bool ok = group.values(&grid.a1(1, il, iw), 5) && group.values(&grid.a2(1, il, iw), 5) &&
                group.samples(&grid.slp35(1, il, iw)) && group.skip() && group.skip() &&
                group.samples(&grid.slp125(1, il, iw));
      if (!ok) return group.status();
    }
  }
  return {};
}

}  // namespace

ReadStatus readSubfaultGroups(ListReader& reader, SubfaultGrid& grid, void (*startStatement)()) {
  return readGroups(reader, grid, startStatement);
}

ReadStatus readSubfaultGroups(ObservedListReader& reader, SubfaultGrid& grid) {
  return readGroups(reader, grid, nullptr);
}

}  // namespace slip
