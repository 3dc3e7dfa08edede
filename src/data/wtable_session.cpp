#include "data/wtable_session.h"

#include "data/cdx_table_index.h"

namespace data {

TableSession::TableSession(TableSettings table_settings, MessageBoxSink& messages, RetryClock& clock)
    : settings(std::move(table_settings)),
      m_messages(&messages),
      m_clock(&clock),
      m_text_search(WorkAreas::kMaxWorkAreas + 1),
      m_drivers(WorkAreas::kMaxWorkAreas + 1) {
  index_opener = cdx_index_opener(m_page_cache);
}

TableSession::~TableSession() { m_areas.close_all(); }

}  // namespace data
