// Property tables: flash curves, phase envelopes and other tables of property
// values at a series of points (TKSPPT, TKNPPR, TKPPRP, TKNENV, TKSENV,
// TKPTEV, TKNPEV, TKPPEV).
//
// A table is the data set "PROP-TABLE", table type, table identifier,
// "PROPTAB", read with the loading sequence its tree node names. Its values
// run point by point: with NP points and ND values a point holds ND / NP
// values, one per column, and value j belongs to point (j - 1) / (ND / NP) + 1
// and column (j - 1) mod (ND / NP) + 1. NP is written in the identifier set
// of the qualifier "NPOINT".
//
// Envelope tables hold several curves, each of two halves. Every point
// starts with a curve-marker value (property 7003), then its coordinates
// (7001 and 7002), then the property columns. A marker value that differs
// from the previous one starts a new half; after a marker of exactly 0.5 one
// half number is skipped. Which marker is tested differs: the curve count
// (TKNENV) tests the new marker, the curve readers the previous one.
#pragma once

#include <cstdint>
#include <string_view>

namespace flowsum {

// Special property numbers of envelope tables.
inline constexpr int64_t kEnvelopeStatus = 131;
inline constexpr int64_t kEnvelopeX = 7001;
inline constexpr int64_t kEnvelopeY = 7002;
inline constexpr int64_t kEnvelopeMarker = 7003;

struct TableShape {
  int64_t npoints = 0;
  int64_t ncolumns = 0;   // values per point (TKSPPT); property columns (TKNENV)
  int64_t ncurves = 0;    // TKNENV only
  int64_t status = 1;     // status of the loading-sequence expansion; 1 for an absent table
};

// TKSPPT: points and columns (the columns stay 0 when NP is 0).
TableShape table_shape(std::string_view id);
// TKNENV: curves and property columns of an envelope table.
TableShape envelope_shape(std::string_view id);

struct CurveSize {
  int64_t first = 0;   // points of the curve's first half
  int64_t second = 0;  // points of its second half
};
// TKSENV.
CurveSize curve_size(std::string_view id, int64_t curve);

}  // namespace flowsum
