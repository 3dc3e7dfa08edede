#pragma once

#include <memory>

#include <QAbstractTableModel>

#include "ui/platform/qt/grid_rows.h"
#include "ui/platform/qt/mirror.h"

class QTableView;

namespace ui::platform {

// The rows of a grid for a Qt view: each cell is read from GridRows when the view paints
// it; only the last row read is kept, so a table of any size costs one row. The row count
// is read again on reload() only.
class GridModel final : public QAbstractTableModel {
 public:
  explicit GridModel(std::shared_ptr<GridRows> rows, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // The grid was redrawn (new rows, order or scope): everything is read again.
  void reload();

 private:
  std::shared_ptr<GridRows> m_rows;
  int m_row_count = 0;
  mutable int m_cached_position = -1;
  mutable std::vector<std::string> m_cached_row;
};

// A list-box window that the list binding draws its grid in, shown as a table over every
// row of the scope. A click on a heading posts the grid's heading click (the binding
// switches the order when the heading has one); a click on a row, or the navigation keys,
// make that row current through the grid engine; the view scrolls by itself.
class GridMirror final : public Mirror {
 public:
  GridMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent, std::shared_ptr<GridRows> rows);
  // Reads the rows again; asks the list window, so only while the window system waits.
  void reload();
  GridModel* model() const { return m_model; }

 private:
  std::shared_ptr<GridRows> m_rows;
  QTableView* m_view;
  GridModel* m_model;
};

}  // namespace ui::platform
