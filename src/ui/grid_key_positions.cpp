#include "ui/grid_key_positions.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "data/cdx_file.h"

namespace ui {

namespace {

// Deeper than any real tag; a deeper walk means the pages form a loop.
constexpr int kMaxDepth = 64;

std::size_t share_of(double fraction, std::size_t size) {
  if (size == 0 || fraction <= 0) return 0;
  const auto index = static_cast<std::size_t>(std::floor(fraction * static_cast<double>(size)));
  return std::min(index, size - 1);
}

}  // namespace

std::string padded_key(std::string_view prefix, int length, char fill) {
  std::string key(prefix.substr(0, static_cast<std::size_t>(std::max(length, 0))));
  key.resize(static_cast<std::size_t>(std::max(length, 0)), fill);
  return key;
}

data::Result<std::shared_ptr<const data::CdxNode>> KeyPositions::node(std::uint32_t page) {
  return m_tag->file().read_node(page, m_tag->key_length(), m_tag->pad());
}

data::Result<std::vector<double>> KeyPositions::child_weights(const data::CdxNode& parent) {
  std::vector<double> weights;
  weights.reserve(parent.size());
  for (std::size_t i = 0; i < parent.size(); ++i) {
    auto child = node(parent.child(i));
    if (!child) return child.error();
    weights.push_back(static_cast<double>(std::max<std::size_t>((*child)->size(), 1)));
  }
  return weights;
}

data::Result<double> KeyPositions::fraction_before(std::string_view key, std::uint32_t recno) {
  data::CdxLock lock(m_tag->file(), data::CdxLockMode::Read);
  if (!lock.ok()) return lock.error();
  double base = 0;
  double span = 1;
  std::uint32_t page = m_tag->header().root;
  for (int depth = 0; depth < kMaxDepth; ++depth) {
    auto n = node(page);
    if (!n) return n.error();
    const data::CdxNode& current = **n;
    if (current.empty()) return base;
    const std::size_t index = current.lower_bound(key, recno);
    if (current.is_leaf()) return base + span * static_cast<double>(index) / static_cast<double>(current.size());
    if (index == current.size()) return base + span;  // After the last key of this subtree.
    auto weights = child_weights(current);
    if (!weights) return weights.error();
    const double total = std::accumulate(weights->begin(), weights->end(), 0.0);
    const double before = std::accumulate(weights->begin(), weights->begin() + static_cast<long>(index), 0.0);
    base += span * before / total;
    span *= (*weights)[index] / total;
    page = current.child(index);
  }
  return m_tag->error("tree deeper than " + std::to_string(kMaxDepth) + " levels");
}

data::Result<data::CdxTag::Position> KeyPositions::entry_at(double fraction) {
  if (fraction >= 1) return m_tag->last();
  if (fraction <= 0) return m_tag->first();
  data::CdxLock lock(m_tag->file(), data::CdxLockMode::Read);
  if (!lock.ok()) return lock.error();
  std::uint32_t page = m_tag->header().root;
  for (int depth = 0; depth < kMaxDepth; ++depth) {
    auto n = node(page);
    if (!n) return n.error();
    const data::CdxNode& current = **n;
    if (current.empty()) return data::CdxTag::Position{};
    if (current.is_leaf())
      return data::CdxTag::Position{*n, page, share_of(fraction, current.size()), m_tag->file().generation()};
    auto weights = child_weights(current);
    if (!weights) return weights.error();
    const double total = std::accumulate(weights->begin(), weights->end(), 0.0);
    double wanted = fraction * total;
    std::size_t index = 0;
    while (index + 1 < weights->size() && wanted >= (*weights)[index]) wanted -= (*weights)[index++];
    fraction = std::clamp(wanted / (*weights)[index], 0.0, 1.0);
    page = current.child(index);
  }
  return m_tag->error("tree deeper than " + std::to_string(kMaxDepth) + " levels");
}

data::Result<std::optional<long>> KeyPositions::count_between(const data::CdxTag::Position& from,
                                                               const data::CdxTag::Position& to, int max_leaves) {
  data::CdxTag::Position at = from;
  long count = 0;
  for (int leaves = 0; at.valid(); ++leaves) {
    if (leaves > max_leaves) return std::optional<long>();
    if (at.page == to.page) return std::optional<long>(count + static_cast<long>(to.index) - static_cast<long>(at.index) + 1);
    const std::size_t last = at.leaf->size() - 1;
    count += static_cast<long>(last - at.index) + 1;
    auto next = m_tag->next(data::CdxTag::Position{at.leaf, at.page, last, at.generation});
    if (!next) return next.error();
    at = std::move(*next);
  }
  return std::optional<long>(count);
}

data::Result<std::optional<data::CdxTag::Position>> KeyPositions::advance(data::CdxTag::Position from, long steps,
                                                                          bool upwards, int max_leaves) {
  for (int leaves = 0; from.valid(); ++leaves) {
    if (leaves > max_leaves) return std::optional<data::CdxTag::Position>();
    const long room = upwards ? static_cast<long>(from.leaf->size() - 1 - from.index) : static_cast<long>(from.index);
    if (steps <= room) {
      from.index = upwards ? from.index + static_cast<std::size_t>(steps) : from.index - static_cast<std::size_t>(steps);
      return std::optional<data::CdxTag::Position>(std::move(from));
    }
    steps -= room + 1;
    from.index = upwards ? from.leaf->size() - 1 : 0;
    auto next = upwards ? m_tag->next(from) : m_tag->prev(from);
    if (!next) return next.error();
    from = std::move(*next);
  }
  return std::optional<data::CdxTag::Position>(data::CdxTag::Position{});
}

data::Result<double> KeyPositions::estimated_entries() {
  data::CdxLock lock(m_tag->file(), data::CdxLockMode::Read);
  if (!lock.ok()) return lock.error();
  auto root = node(m_tag->header().root);
  if (!root) return root.error();
  if ((*root)->is_leaf()) return static_cast<double>((*root)->size());

  // Walk the interior levels down to the one whose children are leaves.
  std::vector<std::shared_ptr<const data::CdxNode>> level{*root};
  for (int depth = 0; depth < kMaxDepth; ++depth) {
    if (level.front()->empty()) return 0.0;
    auto probe = node(level.front()->child(0));
    if (!probe) return probe.error();
    if ((*probe)->is_leaf()) break;
    std::vector<std::shared_ptr<const data::CdxNode>> below;
    for (const auto& parent : level) {
      for (std::size_t i = 0; i < parent->size(); ++i) {
        auto child = node(parent->child(i));
        if (!child) return child.error();
        below.push_back(*child);
      }
    }
    level = std::move(below);
  }

  std::vector<std::uint32_t> leaves;
  for (const auto& parent : level)
    for (std::size_t i = 0; i < parent->size(); ++i) leaves.push_back(parent->child(i));
  if (leaves.empty()) return 0.0;

  // A small tag: count every leaf.
  if (leaves.size() <= 64) {
    double entries = 0;
    for (std::uint32_t page : leaves) {
      auto leaf = node(page);
      if (!leaf) return leaf.error();
      entries += static_cast<double>((*leaf)->size());
    }
    return entries;
  }
  // The first and last leaves fill unevenly (appends split at the end); the middle ones are sampled.
  auto first = node(leaves.front());
  auto last = node(leaves.back());
  if (!first) return first.error();
  if (!last) return last.error();
  double sampled = 0;
  constexpr double kSamples[] = {0.25, 0.5, 0.75};
  for (double at : kSamples) {
    auto leaf = node(leaves[share_of(at, leaves.size())]);
    if (!leaf) return leaf.error();
    sampled += static_cast<double>((*leaf)->size());
  }
  const double mean = sampled / std::size(kSamples);
  return static_cast<double>((*first)->size() + (*last)->size()) + mean * static_cast<double>(leaves.size() - 2);
}

}  // namespace ui
