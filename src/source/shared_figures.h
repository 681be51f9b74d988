// The numbers that more than one exchange file prints the same way, each
// formatted once a run: a subfault's outline (GeoJSON and KML), its position
// a1(3), a1(4) with 6 decimals (FSP and SRF), and its slip, slip vector's rake,
// rupture time, rise time and depth with 9 significant digits (FSP, GeoJSON,
// SRF). Each set is formatted for every subfault when a writer first asks for
// it, so a run writing a single file formats nothing twice either.
//
// Neighbouring subfaults share the corners of their outlines: a corner's
// position is formatted once for all the subfaults whose corner lies at the
// same x and y (bit for bit) on the plane.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "science/outline.h"
#include "science/source_model.h"

namespace slip::source {

class SharedFigures {
 public:
  explicit SharedFigures(const SourceModel& model);
  SharedFigures(const SharedFigures&) = delete;
  SharedFigures& operator=(const SharedFigures&) = delete;

  const PositionMap& map() const { return map_; }

  // A position as appendFixed(.., 6) prints its longitude and latitude.
  struct Point {
    std::string_view lon, lat;
  };
  // The first four points of subfault i's ring (subfaultOutline); the fifth repeats the first.
  std::array<Point, 4> outline(std::size_t i);
  // Subfault i's a1(3), a1(4).
  Point position(std::size_t i);

  // Figures printed with appendGeneral(.., 9).
  enum Figure { kSlip, kSlipVectorRake, kRuptureTime, kRiseTime, kDepth, kFigureCount };
  std::string_view general(std::size_t i, Figure figure);

 private:
  struct Span {
    std::uint32_t at = 0, size = 0;
  };
  // Texts one after another, and where each lies.
  struct Column {
    std::string text;
    std::vector<Span> spans;
    std::string_view operator[](std::size_t i) const { return {text.data() + spans[i].at, spans[i].size}; }
  };

  void formatOutlines();
  void formatPositions();
  void formatFigure(Figure figure);

  const SourceModel& model_;
  PositionMap map_;
  Column corners_;  // a corner's longitude, then its latitude
  std::vector<std::array<std::uint32_t, 4>> rings_;  // per subfault, its ring's corners in corners_
  Column lons_, lats_;
  std::array<Column, kFigureCount> figures_;
};

}  // namespace slip::source
