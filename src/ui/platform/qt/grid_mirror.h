#pragma once

#include <memory>

#include <QAbstractTableModel>

#include "ui/platform/qt/grid_rows.h"
#include "ui/platform/qt/mirror.h"

class QTableView;

namespace ui::platform {

// The rows of a bound grid for a Qt view: each cell is read from GridRows when the view
// paints it; only the last row read is kept, so a table of any size costs one row.
class GridModel final : public QAbstractTableModel {
 public:
  explicit GridModel(std::shared_ptr<GridRows> rows, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // The rows changed (a redraw, a new order or scope): everything is read again.
  void reload();

 private:
  std::shared_ptr<GridRows> m_rows;
  mutable int m_cached_position = -1;
  mutable std::vector<std::string> m_cached_row;
};

// A list-box window that a list binding draws its grid in. A click on a heading or a
// row reaches the list window as the mouse messages the grid engine lays out, at the
// middle of that heading or row; the scroll bar and the wheel become WM_VSCROLL and
// WM_MOUSEWHEEL.
class GridMirror final : public Mirror {
 public:
  GridMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent, std::shared_ptr<GridRows> rows);
  void sync(const WindowInfo& info) override;
  GridModel* model() const { return m_model; }

 private:
  void click_at(int x, int y);

  std::shared_ptr<GridRows> m_rows;
  QTableView* m_view;
  GridModel* m_model;
};

// The highlight colour of the active order's heading (RGB value 13750210).
QColor active_heading_colour();

}  // namespace ui::platform
