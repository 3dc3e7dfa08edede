#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/browse_messages.h"
#include "ui/platform/qt/grid_rows.h"

namespace ui {

class WBLISTBOX;

// A list-box grid as the display reads it: the headings, the rows of the scope by key position,
// the current and top rows. Holds the grid weakly: once the grid is gone it shows nothing.
class BrowseGridRows final : public platform::GridRows {
 public:
  explicit BrowseGridRows(std::weak_ptr<WBLISTBOX*> grid) : m_grid(std::move(grid)) {}

  int column_count() const override;
  std::string heading(int column) const override;
  int column_width(int column) const override;
  bool is_right_aligned(int column) const override;
  bool is_order_heading(int column) const override;
  int active_heading() const override;
  int row_count() const override;
  std::vector<std::string> row(int position) const override;
  int current_row() const override;
  int top_row() const override;
  int heading_height() const override { return kBrowseHeadingPixels; }
  int row_height() const override { return kBrowseLinePixels; }

 private:
  WBLISTBOX* grid() const;

  std::weak_ptr<WBLISTBOX*> m_grid;
};

}  // namespace ui
