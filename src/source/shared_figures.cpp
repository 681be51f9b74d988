#include "source/shared_figures.h"

#include <bit>

#include "science/rise_time.h"
#include "source/exchange_text.h"

namespace slip::source {
namespace {

// Starts a column of `count` texts of about `width` characters each.
template <typename Column>
void start(Column& c, std::size_t count, std::size_t width) {
  c.text.reserve(count * width);
  c.spans.reserve(count);
}

bool same(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

}  // namespace

SharedFigures::SharedFigures(const SourceModel& model) : model_(model), map_(positionMap(model)) {}

void SharedFigures::formatOutlines() {
  const std::size_t n = model_.subfaults.size();
  start(corners_, 2 * (kColumns + 1) * (kRows + 1), 12);
  rings_.resize(n);
  // The corner nodes of the grid: subfault (il, iw) has its corners at nodes
  // (il - 1 or il, iw - 1 or iw); a node holds the plane point last formatted there.
  struct Node {
    double x = 0.0, y = 0.0;
    std::uint32_t entry = 0;
    bool formatted = false;
  };
  std::vector<Node> nodes(static_cast<std::size_t>((kColumns + 1) * (kRows + 1)));
  for (std::size_t i = 0; i < n; ++i) {
    const SubfaultSource& f = model_.subfaults[i];
    const PlaneCorners c = subfaultCorners(model_, f);
    const std::array<std::size_t, 4> order = ringOrder(map_, c);
    for (std::size_t k = 0; k < 4; ++k) {
      const std::size_t corner = order[k];
      const int column = f.il - 1 + (corner >= 2 ? 1 : 0);
      const int row = f.iw - 1 + (corner == 1 || corner == 2 ? 1 : 0);
      const bool onGrid = column >= 0 && column <= kColumns && row >= 0 && row <= kRows;
      Node scratch;
      Node& node = onGrid ? nodes[static_cast<std::size_t>(row * (kColumns + 1) + column)] : scratch;
      const double x = c.x[corner], y = c.y[corner];
      if (!node.formatted || !same(node.x, x) || !same(node.y, y)) {
        const LonLat p = map_.at(x, y);
        node = {x, y, static_cast<std::uint32_t>(corners_.spans.size()), true};
        for (const double v : {normalLongitude(p.lon), p.lat}) {
          const std::size_t at = corners_.text.size();
          appendFixed(corners_.text, v, 6);
          corners_.spans.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(corners_.text.size() - at)});
        }
      }
      rings_[i][k] = node.entry;
    }
  }
}

std::array<SharedFigures::Point, 4> SharedFigures::outline(std::size_t i) {
  if (rings_.empty()) formatOutlines();
  std::array<Point, 4> ring;
  for (std::size_t k = 0; k < 4; ++k) ring[k] = {corners_[rings_[i][k]], corners_[rings_[i][k] + 1]};
  return ring;
}

void SharedFigures::formatPositions() {
  start(lons_, model_.subfaults.size(), 12);
  start(lats_, model_.subfaults.size(), 12);
  for (const SubfaultSource& f : model_.subfaults) {
    for (auto [column, v] : {std::pair{&lons_, normalLongitude(f.lon)}, std::pair{&lats_, f.lat}}) {
      const std::size_t at = column->text.size();
      appendFixed(column->text, v, 6);
      column->spans.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(column->text.size() - at)});
    }
  }
}

SharedFigures::Point SharedFigures::position(std::size_t i) {
  if (lons_.spans.empty()) formatPositions();
  return {lons_[i], lats_[i]};
}

void SharedFigures::formatFigure(Figure figure) {
  Column& column = figures_[figure];
  start(column, model_.subfaults.size(), 10);
  double last = 0.0;
  for (const SubfaultSource& f : model_.subfaults) {
    double v = 0.0;
    switch (figure) {
      case kSlip: v = f.slip; break;
      case kSlipVectorRake: v = slipVectorRake(f); break;
      case kRuptureTime: v = f.ruptureTime; break;
      case kRiseTime: v = f.riseTime; break;
      case kDepth: v = f.depth; break;
      case kFigureCount: break;
    }
    // A run of equal values (the rake of subfaults without slip, a common rise time) shares one text.
    if (!column.spans.empty() && same(v, last)) {
      column.spans.push_back(column.spans.back());
      continue;
    }
    last = v;
    const std::size_t at = column.text.size();
    appendGeneral(column.text, v, 9);
    column.spans.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(column.text.size() - at)});
  }
}

std::string_view SharedFigures::general(std::size_t i, Figure figure) {
  if (figures_[figure].spans.empty()) formatFigure(figure);
  return figures_[figure][i];
}

}  // namespace slip::source
