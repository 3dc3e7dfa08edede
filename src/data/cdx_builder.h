#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/cdx_node.h"
#include "data/result.h"

namespace data {

// The entries of one tag before they go to disk: keys of a fixed length back to back
// and their record numbers. Built by reading every record, then sorted once.
class CdxEntryList {
 public:
  explicit CdxEntryList(int key_length) : m_key_length(key_length) {}

  int key_length() const { return m_key_length; }
  std::size_t size() const { return m_recnos.size(); }
  void reserve(std::size_t n);
  // Requires: key.size() == key_length().
  void add(std::string_view key, std::uint32_t recno);
  // Puts the entries in (key, record) order; with `unique` keeps only the lowest record
  // of each key.
  void sort(bool unique);

  std::string_view key(std::size_t i) const { return std::string_view(m_keys).substr(i * m_key_length, m_key_length); }
  std::uint32_t recno(std::size_t i) const { return m_recnos[i]; }

 private:
  int m_key_length;
  std::string m_keys;  // Keys of m_key_length bytes, back to back.
  std::vector<std::uint32_t> m_recnos;
};

// Lays a tag's tree out from sorted entries: leaves filled completely, left to right,
// then interior levels up to one root. Pages come from `allocate` and each finished
// node is handed to `write`, children before the nodes that point to them. Returns
// the root page. An empty list gives an empty root leaf.
Result<std::uint32_t> build_cdx_tree(const CdxEntryList& entries, char pad,
                                     const std::function<Result<std::uint32_t>()>& allocate,
                                     const std::function<Result<void>(std::uint32_t, const CdxNode&)>& write);

}  // namespace data
