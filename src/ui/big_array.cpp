#include "ui/big_array.h"

#include "data/text.h"

namespace ui {

bool same_value(const data::Value& left, const data::Value& right) {
  if (left.kind() != right.kind()) return false;
  switch (left.kind()) {
    case data::Value::Kind::Empty: return true;
    case data::Value::Kind::Text: return data::exact_equals(left.text(), right.text());
    case data::Value::Kind::Number: return left.number() == right.number();
    case data::Value::Kind::Logical: return left.logical() == right.logical();
    case data::Value::Kind::Date: return left.date() == right.date();
    case data::Value::Kind::List: {
      const data::ValueList& a = left.list();
      const data::ValueList& b = right.list();
      if (a.size() != b.size()) return false;
      for (std::size_t i = 0; i < a.size(); ++i) {
        if (!same_value(a[i], b[i])) return false;
      }
      return true;
    }
    case data::Value::Kind::Block: return false;
  }
  return false;
}

void BIG_ARRAY::BAADD(data::Value value) {
  if (m_chunks.empty() || m_chunks.back().size() >= kChunkSize) m_chunks.emplace_back().reserve(kChunkSize);
  m_chunks.back().push_back(std::move(value));
}

void BIG_ARRAY::BAINS(std::size_t position, data::Value value) {
  const std::size_t length = BLEN();
  if (position == 0 || position > length + 1) return;
  if (position == length + 1) {
    BAADD(std::move(value));
    return;
  }
  std::size_t chunk = (position - 1) / kChunkSize;
  std::vector<data::Value>* current = &m_chunks[chunk];
  current->insert(current->begin() + static_cast<std::ptrdiff_t>((position - 1) % kChunkSize), std::move(value));
  // Overflow ripples down: each full chunk hands its last element to the front of the next.
  while (current->size() > kChunkSize) {
    data::Value carried = std::move(current->back());
    current->pop_back();
    if (++chunk == m_chunks.size()) m_chunks.emplace_back().reserve(kChunkSize);
    current = &m_chunks[chunk];
    current->insert(current->begin(), std::move(carried));
  }
}

void BIG_ARRAY::BADEL(std::size_t position) {
  if (position == 0 || position > BLEN()) return;
  std::size_t chunk = (position - 1) / kChunkSize;
  m_chunks[chunk].erase(m_chunks[chunk].begin() + static_cast<std::ptrdiff_t>((position - 1) % kChunkSize));
  for (; chunk + 1 < m_chunks.size(); ++chunk) {
    std::vector<data::Value>& next = m_chunks[chunk + 1];
    m_chunks[chunk].push_back(std::move(next.front()));
    next.erase(next.begin());
  }
  if (m_chunks.back().empty()) m_chunks.pop_back();
}

data::Value* BIG_ARRAY::at(std::size_t position) {
  if (position == 0 || position > BLEN()) return nullptr;
  return &m_chunks[(position - 1) / kChunkSize][(position - 1) % kChunkSize];
}

void BIG_ARRAY::PUT(std::size_t position, data::Value value) {
  if (data::Value* element = at(position)) *element = std::move(value);
}

const data::Value& BIG_ARRAY::GET(std::size_t position) const {
  static const data::Value kNone;
  if (position == 0 || position > BLEN()) return kNone;
  return m_chunks[(position - 1) / kChunkSize][(position - 1) % kChunkSize];
}

std::size_t BIG_ARRAY::BLEN() const {
  return m_chunks.empty() ? 0 : (m_chunks.size() - 1) * kChunkSize + m_chunks.back().size();
}

std::size_t BIG_ARRAY::BSEEK(const data::Value& value) const {
  std::size_t position = 0;
  for (const auto& chunk : m_chunks) {
    for (const data::Value& element : chunk) {
      ++position;
      if (same_value(element, value)) return position;
    }
  }
  return 0;
}

}  // namespace ui
