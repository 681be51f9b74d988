#include "map/contours.h"

#include <cmath>
#include <map>

namespace slip::map {
namespace {

// An edge between two neighbouring samples: horizontal from (col, row) to
// (col + 1, row), or vertical from (col, row) to (col, row + 1).
struct Edge {
  bool vertical;
  int col;
  int row;
};

long long keyOf(const Field& field, Edge e) {
  return (static_cast<long long>(e.vertical) * field.rows + e.row) * field.cols + e.col;
}

Point crossing(const Field& field, Edge e, double level) {
  const int col2 = e.vertical ? e.col : e.col + 1;
  const int row2 = e.vertical ? e.row + 1 : e.row;
  const double a = field.at(e.col, e.row);
  const double b = field.at(col2, row2);
  // One end is above the level and one is not, so a != b.
  const double t = (level - a) / (b - a);
  return {e.col + t * (col2 - e.col), e.row + t * (row2 - e.row)};
}

struct Segment {
  Edge from;
  Edge to;
};

// The segments of the square whose top-left sample is (col, row).
void squareSegments(const Field& field, int col, int row, double level, std::vector<Segment>& out) {
  const bool in[4] = {field.at(col, row) > level, field.at(col + 1, row) > level,
                      field.at(col + 1, row + 1) > level, field.at(col, row + 1) > level};
  const Edge top{false, col, row}, right{true, col + 1, row}, bottom{false, col, row + 1},
      left{true, col, row};
  const Edge sides[4] = {top, right, bottom, left};  // side k joins corners k and k + 1
  std::vector<Edge> crossed;
  for (int k = 0; k < 4; ++k) {
    if (in[k] != in[(k + 1) % 4]) crossed.push_back(sides[k]);
  }
  if (crossed.size() == 2) {
    out.push_back({crossed[0], crossed[1]});
  } else if (crossed.size() == 4) {
    const double centre = (field.at(col, row) + field.at(col + 1, row) + field.at(col + 1, row + 1) +
                           field.at(col, row + 1)) / 4.0;
    if (in[0] == (centre > level)) {
      out.push_back({top, right});  // the corners unlike the first stay apart
      out.push_back({bottom, left});
    } else {
      out.push_back({left, top});
      out.push_back({right, bottom});
    }
  }
}

// Follows segments from edge `start` until the line ends or closes.
Isoline follow(const Field& field, double level, const std::vector<Segment>& segments,
               const std::multimap<long long, std::size_t>& byEdge, std::vector<bool>& used, std::size_t first,
               bool forwardFromStart) {
  Isoline line;
  Edge at = forwardFromStart ? segments[first].from : segments[first].to;
  line.points.push_back(crossing(field, at, level));
  std::size_t current = first;
  const long long startKey = keyOf(field, at);
  for (;;) {
    used[current] = true;
    const Segment& s = segments[current];
    at = keyOf(field, s.from) == keyOf(field, at) ? s.to : s.from;
    const long long key = keyOf(field, at);
    if (key == startKey) {
      line.closed = true;
      return line;
    }
    line.points.push_back(crossing(field, at, level));
    std::size_t next = current;
    auto range = byEdge.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) {
      if (!used[it->second]) next = it->second;
    }
    if (next == current) return line;
    current = next;
  }
}

}  // namespace

std::vector<Isoline> traceIsolines(const Field& field, double level) {
  std::vector<Segment> segments;
  for (int row = 0; row + 1 < field.rows; ++row) {
    for (int col = 0; col + 1 < field.cols; ++col) {
      if (field.has(col, row) && field.has(col + 1, row) && field.has(col + 1, row + 1) &&
          field.has(col, row + 1)) {
        squareSegments(field, col, row, level, segments);
      }
    }
  }
  std::multimap<long long, std::size_t> byEdge;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    byEdge.emplace(keyOf(field, segments[i].from), i);
    byEdge.emplace(keyOf(field, segments[i].to), i);
  }
  std::vector<bool> used(segments.size(), false);
  std::vector<Isoline> lines;
  // Open lines first, from an end that belongs to one segment only.
  for (std::size_t i = 0; i < segments.size(); ++i) {
    if (used[i]) continue;
    const bool fromIsEnd = byEdge.count(keyOf(field, segments[i].from)) == 1;
    const bool toIsEnd = byEdge.count(keyOf(field, segments[i].to)) == 1;
    if (fromIsEnd || toIsEnd) lines.push_back(follow(field, level, segments, byEdge, used, i, fromIsEnd));
  }
  for (std::size_t i = 0; i < segments.size(); ++i) {
    if (!used[i]) lines.push_back(follow(field, level, segments, byEdge, used, i, true));
  }
  return lines;
}

std::vector<double> contourLevels(double low, double high, double step, int limit) {
  std::vector<double> levels;
  if (!(step > 0.0) || !(high > low)) return levels;
  for (double k = std::floor(low / step) + 1.0; k * step < high && static_cast<int>(levels.size()) < limit; k += 1.0) {
    levels.push_back(k * step);
  }
  return levels;
}

}  // namespace slip::map
