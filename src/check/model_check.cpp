#include "check/model_check.h"

#include <memory>

#include "base/grid.h"
#include "check/model_layout.h"
#include "check/record_walk.h"
#include "check/summary.h"
#include "check/value_checks.h"
#include "compose/slip_composer.h"
#include "input/list_reader.h"
#include "input/subfault_groups.h"
#include "text/text.h"

namespace slip::check {
namespace {

// Whatever follows the last record a run needs is never read: the first byte
// of it that is not blank, tab or a line end, or null when there is none.
TextPosition textAfterTheData(ByteSource& source) {
  for (;;) {
    const int c = source.get();
    if (c == kEof) return nullptr;
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return source.position() - 1;
  }
}

// Values a run computes from the samples and the offsets, as the report
// shows them; each finding stands at the subfault's first line. Negative
// 35-degree slips are one warning for the model, at the first of them with
// the count: a model written with the other sign convention has them all.
void checkComposedValues(SubfaultGrid& grid, const ModelLayout& layout, const RecordWalk& walk,
                         Reporter& reporter) {
  composeGrid(grid);
  Problem firstNegative{Kind::kNegativeSlip35, {}};
  int negativeGroup = -1;
  int negatives = 0;
  for (int iw = 1; iw <= grid.nw; ++iw) {
    computeDistanceRow(grid, iw);
    for (int il = 1; il <= grid.nl; ++il) {
      const int group = grid.nl * (iw - 1) + (il - 1);
      for (Problem& problem : composedProblems(grid, il, iw)) {
        if (problem.kind == Kind::kNegativeSlip35) {
          if (negatives++ == 0) {
            firstNegative = std::move(problem);
            negativeGroup = group;
          }
          continue;
        }
        if (reporter.counted(problem.kind)) continue;
        reporter.add(problem.kind, {walk.groupLine(group), 1, 1, false}, std::move(problem.message),
                     layout.subfault(group));
      }
    }
  }
  if (negatives == 0 || reporter.counted(Kind::kNegativeSlip35)) return;
  if (negatives > 1) firstNegative.message += format("; %d subfaults in all have a negative 35-degree slip", negatives);
  reporter.add(Kind::kNegativeSlip35, {walk.groupLine(negativeGroup), 1, 1, false}, std::move(firstNegative.message),
               layout.subfault(negativeGroup));
}

}  // namespace

CheckResult checkModel(ByteSource& source, std::string_view name, const RawFacts& raw, const CheckOptions& options,
                       Output& out, ReadInto into) {
  std::unique_ptr<SubfaultGrid> own;
  if (into.grid == nullptr) {
    own = std::make_unique<SubfaultGrid>();
    into.grid = own.get();
  }
  SubfaultGrid* grid = into.grid;
  const ModelLayout layout(*grid);
  Reporter reporter(name, out, {options.all, options.quiet, options.kinds, options.moreHint});
  RecordWalk walk(source, layout, reporter, options.all, into.ruptureTimes);
  ObservedListReader reader(source, walk);
  const ReadStatus status = readSubfaultGroups(reader, *grid);
  CheckResult result;
  if (status.error == ReadError::kListInSystem) {
    reporter.finish();
    result.systemError = status.systemError;
    result.errors = 1;
    result.warnings = reporter.warnings();
    return result;
  }
  if (status.ok()) {
    walk.readingDone();
    if (TextPosition text = textAfterTheData(source)) walk.textAfterTheData(text);
  } else {
    walk.readingFailed(status);
  }
  if (source.atEnd() && raw.ctrlZ && raw.bytesAfterCtrlZ) walk.ctrlZBeforeTheEnd();
  walk.finish();
  if (status.ok()) checkComposedValues(*grid, layout, walk, reporter);
  reporter.finish();
  result.errors = reporter.errors();
  result.warnings = reporter.warnings();
  if (options.summary) {
    out.write(summaryLine(name, {walk.completedRequests() / kRequestsPerGroup, walk.records(), walk.values(),
                                 result.errors, result.warnings, walk.stopLine()}));
  }
  return result;
}

}  // namespace slip::check
