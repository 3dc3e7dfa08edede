#include "ui/platform/qt/grid_mirror.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include "ui/platform/qt/qt_text.h"

namespace ui::platform {

QColor active_heading_colour() {
  constexpr std::uint32_t kColour = 13750210;  // Stored as blue, green, red from the high byte down.
  return QColor(kColour & 0xFF, (kColour >> 8) & 0xFF, (kColour >> 16) & 0xFF);
}

GridModel::GridModel(std::shared_ptr<GridRows> rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(std::move(rows)) {}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(m_rows->row_count(), 0);
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(m_rows->column_count(), 0);
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::AlignVCenter |
                               (m_rows->is_right_aligned(index.column()) ? Qt::AlignRight : Qt::AlignLeft));
  }
  if (role != Qt::DisplayRole) return {};
  if (m_cached_position != index.row()) {
    m_cached_row = m_rows->row(index.row());
    m_cached_position = index.row();
  }
  const auto column = static_cast<std::size_t>(index.column());
  return column < m_cached_row.size() ? to_qt(m_cached_row[column]) : QString();
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) return to_qt(m_rows->heading(section));
  if (role == Qt::BackgroundRole && section == m_rows->active_heading()) return active_heading_colour();
  return {};
}

void GridModel::reload() {
  beginResetModel();
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
  m_view->verticalHeader()->setDefaultSectionSize(m_rows->row_height());
  m_view->horizontalHeader()->setFixedHeight(m_rows->heading_height());
  m_view->horizontalHeader()->setSectionsClickable(true);
  m_view->horizontalHeader()->setHighlightSections(false);

  QObject::connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, m_view, [this](int column) {
    if (m_context.is_syncing || !m_rows->is_order_heading(column)) return;
    const QHeaderView* header = m_view->horizontalHeader();
    click_at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
             m_rows->heading_height() / 2);
  });
  QObject::connect(m_view, &QTableView::clicked, m_view, [this](const QModelIndex& index) {
    if (m_context.is_syncing || !index.isValid()) return;
    const QHeaderView* header = m_view->horizontalHeader();
    const int y = m_rows->heading_height() + (index.row() - m_rows->top_row()) * m_rows->row_height() +
                  m_rows->row_height() / 2;
    click_at(header->sectionViewportPosition(index.column()) + header->sectionSize(index.column()) / 2, y);
  });
  const Handle list = info.handle;
  QObject::connect(m_view->verticalScrollBar(), &QScrollBar::actionTriggered, m_view, [this, list](int action) {
    if (m_context.is_syncing) return;
    std::int64_t request = SB_THUMBPOSITION;
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub: request = SB_LINEUP; break;
      case QAbstractSlider::SliderSingleStepAdd: request = SB_LINEDOWN; break;
      case QAbstractSlider::SliderPageStepSub: request = SB_PAGEUP; break;
      case QAbstractSlider::SliderPageStepAdd: request = SB_PAGEDOWN; break;
      case QAbstractSlider::SliderToMinimum: request = SB_TOP; break;
      case QAbstractSlider::SliderToMaximum: request = SB_BOTTOM; break;
      default: break;
    }
    m_context.post(list, WM_VSCROLL, MAKELPARAM(request, m_view->verticalScrollBar()->sliderPosition()), 0);
    m_context.post(list, WM_VSCROLL, SB_ENDSCROLL, 0);
  });
}

void GridMirror::click_at(int x, int y) {
  const std::int64_t point = MAKELPARAM(x, y);
  m_context.post(m_handle, WM_LBUTTONDOWN, 1, point);
  m_context.post(m_handle, WM_LBUTTONUP, 0, point);
}

void GridMirror::sync(const WindowInfo&) {
  SyncScope scope(m_context);
  m_model->reload();
  for (int column = 0; column < m_model->columnCount(); ++column) {
    if (const int width = m_rows->column_width(column); width > 0) m_view->setColumnWidth(column, width);
  }
  const int top = m_rows->top_row();
  if (top >= 0 && top < m_model->rowCount()) {
    m_view->scrollTo(m_model->index(top, 0), QAbstractItemView::PositionAtTop);
  }
  const int current = m_rows->current_row();
  if (current >= 0 && current < m_model->rowCount()) {
    m_view->selectRow(current);
  } else {
    m_view->clearSelection();
  }
}

}  // namespace ui::platform
