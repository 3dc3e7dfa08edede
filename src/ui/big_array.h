#pragma once

#include <cstddef>
#include <vector>

#include "data/value.h"

namespace ui {

// A list of any length kept in chunks of at most 1000 elements, the item store of combo boxes and
// list boxes. Positions are 1-based. Every chunk but the last is full, so element n lives in chunk
// (n - 1) / 1000 + 1 at offset (n - 1) % 1000 + 1. Positions outside 1..BLEN() are ignored by the
// changing operations and read as empty.
class BIG_ARRAY {
 public:
  static constexpr std::size_t kChunkSize = 1000;

  // Appends to the last chunk, opening a new one when it is full.
  void BAADD(data::Value value);
  // Inserts at `position` (BLEN() + 1 appends); a chunk that grows past 1000 passes its last element
  // to the front of the next chunk, and so on down the chunks.
  void BAINS(std::size_t position, data::Value value);
  // Removes the element; each following chunk passes its first element back to fill the gap.
  void BADEL(std::size_t position);
  void PUT(std::size_t position, data::Value value);
  const data::Value& GET(std::size_t position) const;
  std::size_t BLEN() const;
  void ZAP() { m_chunks.clear(); }
  // Number of chunks.
  std::size_t XLEN() const { return m_chunks.size(); }
  // Position of the first element that is the same value (texts compared exactly, numbers,
  // logicals and dates by value); 0 when there is none.
  std::size_t BSEEK(const data::Value& value) const;
  void Axit() { ZAP(); }

  // The elements of one chunk (1-based chunk number), for tests and diagnostics.
  const std::vector<data::Value>& chunk(std::size_t number) const { return m_chunks.at(number - 1); }

 private:
  data::Value* at(std::size_t position);

  std::vector<std::vector<data::Value>> m_chunks;
};

// True when two values are the same value: same kind, texts equal byte for byte.
bool same_value(const data::Value& left, const data::Value& right);

}  // namespace ui
