#include "ui/platform/qt/grid_mirror.h"

#include <QHeaderView>
#include <QTableView>

#include "ui/platform/qt/list_window_rows.h"
#include "ui/platform/qt/qt_text.h"

namespace ui::platform {

GridModel::GridModel(std::shared_ptr<GridRows> rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(std::move(rows)), m_row_count(std::max(m_rows->row_count(), 0)) {}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_row_count; }

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(m_rows->column_count(), 0);
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  if (m_cached_position != index.row()) {
    m_cached_row = m_rows->row(index.row());
    m_cached_position = index.row();
  }
  const auto column = static_cast<std::size_t>(index.column());
  return column < m_cached_row.size() ? to_qt(m_cached_row[column]) : QString();
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return to_qt(m_rows->heading(section));
}

void GridModel::reload() {
  beginResetModel();
  m_row_count = std::max(m_rows->row_count(), 0);
  m_cached_position = -1;
  m_cached_row.clear();
  endResetModel();
}

GridMirror::GridMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent,
                       std::shared_ptr<GridRows> rows)
    : Mirror(context, info.handle, new QTableView(parent)),
      m_rows(std::move(rows)),
      m_view(static_cast<QTableView*>(outer())),
      m_model(new GridModel(m_rows, m_view)) {
  m_view->setModel(m_model);
  m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_view->setSelectionMode(QAbstractItemView::SingleSelection);
  m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_view->verticalHeader()->hide();
  m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_view->verticalHeader()->setDefaultSectionSize(16);
  m_view->horizontalHeader()->setSectionsClickable(true);
  m_view->horizontalHeader()->setHighlightSections(false);

  const Handle list = info.handle;
  QObject::connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, m_view, [this, list](int column) {
    if (!m_context.is_syncing) m_context.post(list, kGridHeadingClick, column + 1, 0);
  });
  QObject::connect(m_view, &QTableView::clicked, m_view, [this, list](const QModelIndex& index) {
    if (!m_context.is_syncing && index.isValid()) m_context.post(list, kGridScrollTo, index.row() + 1, 0);
  });
  reload();
}

void GridMirror::reload() {
  SyncScope scope(m_context);
  m_model->reload();
  const int current = m_rows->current_row();
  if (current >= 0 && current < m_model->rowCount()) {
    m_view->selectRow(current);
    m_view->scrollTo(m_model->index(current, 0), QAbstractItemView::EnsureVisible);
  } else {
    m_view->clearSelection();
  }
}

}  // namespace ui::platform
