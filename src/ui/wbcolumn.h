#pragma once

#include <functional>
#include <string>

#include "data/value.h"

namespace ui {

// One column of a grid: its heading and the block producing the value shown for the table's
// current row, with the picture that turns that value into the cell's text.
struct WBCOLUMN {
  enum Alignment { kLeft = 0, kRight = 1, kCenter = 2 };

  std::string HEADING;
  // Evaluated with the grid's table on the row being drawn.
  std::function<data::Value()> BLOCK;
  std::string PICTURE;
  int ALIGN = kLeft;
  // The field shown, when the column shows one; empty for computed columns.
  std::string CARGO;
  bool ISSPECIAL = false;
  // Characters added to (or taken from) the width the picture or field gives.
  int H_ADJUST = 0;
  // The value is text, so the cell can be copied and searched.
  bool is_text = true;
  // Width and decimals of the field, for numbers shown without a picture.
  int field_width = 0;
  int field_decimals = 0;

  // The cell of the current row: texts and numbers through the picture (a picture of "X" and "!"
  // only cuts or pads to its length; without one, numbers take the field's width), dates as DTOC,
  // logicals as "S" or "N", nothing for an empty value.
  std::string cell_text() const;
  // The value itself, for searches and copies.
  data::Value value() const { return BLOCK ? BLOCK() : data::Value(); }
  // Width of the column in characters: the picture's or the field's, at least the heading's.
  int width() const;
};

}  // namespace ui
