#include "data/cdx_table_verify.h"

#include <algorithm>
#include <set>

#include "data/cdx_verify.h"

namespace data {
namespace {

using Entry = std::pair<std::string, std::uint32_t>;

std::vector<Entry> walk(CdxTag& tag, bool backwards, std::vector<std::string>& problems) {
  std::vector<Entry> entries;
  auto at = backwards ? tag.last() : tag.first();
  while (at && at->valid()) {
    entries.emplace_back(std::string(at->key()), at->recno());
    at = backwards ? tag.prev(*at) : tag.next(*at);
  }
  if (!at) problems.push_back(at.error().text);
  if (backwards) std::reverse(entries.begin(), entries.end());
  return entries;
}

void verify_order(DbfTable& table, CdxTableOrder& order, std::vector<std::string>& problems) {
  CdxTag& tag = order.tag();
  const std::string where = "tag " + tag.name() + ": ";
  const std::vector<Entry> entries = walk(tag, false, problems);
  if (walk(tag, true, problems) != entries) problems.push_back(where + "walking backwards gives other entries");

  // What the tag should hold, recomputed from every record.
  CdxRecordSource source(table, table.path().stem().string());
  std::vector<Entry> expected;
  std::string key;
  const std::uint32_t records = table.last_rec();
  for (std::uint32_t recno = 1; recno <= records; ++recno) {
    auto bytes = table.read_record(recno);
    if (!bytes) {
      problems.push_back(where + bytes.error().text);
      return;
    }
    source.set_record(*bytes, recno);
    if (order.entry_key(source, key)) expected.emplace_back(key, recno);
  }
  for (const Entry& e : entries) {
    if (e.second == 0 || e.second > records) {
      problems.push_back(where + "entry for record " + std::to_string(e.second) + ", which does not exist");
    }
  }
  if (!tag.header().is_unique()) {
    std::sort(expected.begin(), expected.end());
    std::vector<Entry> missing, extra;
    std::set_difference(expected.begin(), expected.end(), entries.begin(), entries.end(), std::back_inserter(missing));
    std::set_difference(entries.begin(), entries.end(), expected.begin(), expected.end(), std::back_inserter(extra));
    for (const Entry& e : missing)
      problems.push_back(where + "record " + std::to_string(e.second) + " has no entry for its key");
    for (const Entry& e : extra)
      problems.push_back(where + "entry for record " + std::to_string(e.second) + " does not match the record");
    if (entries.size() != expected.size())
      problems.push_back(where + std::to_string(entries.size()) + " entries for " + std::to_string(expected.size()) +
                         " records");
    return;
  }
  // A UNIQUE tag keeps one entry per key: each must match its own record, and every key
  // some record gives must be there.
  std::set<std::string> keys;
  std::vector<std::string> record_key(records + 1);
  std::vector<bool> in_tag(records + 1, false);
  for (const Entry& e : expected) {
    record_key[e.second] = e.first;
    in_tag[e.second] = true;
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    if (i > 0 && entries[i - 1].first == e.first) problems.push_back(where + "key of record " + std::to_string(e.second) + " appears twice");
    if (e.second <= records && (!in_tag[e.second] || record_key[e.second] != e.first))
      problems.push_back(where + "entry for record " + std::to_string(e.second) + " does not match the record");
    keys.insert(e.first);
  }
  for (const Entry& e : expected) {
    if (!keys.count(e.first)) {
      problems.push_back(where + "no entry for the key of record " + std::to_string(e.second));
      keys.insert(e.first);  // Once per key.
    }
  }
}

}  // namespace

std::vector<std::string> verify_cdx_table(DbfTable& table, CdxTableIndex& index) {
  std::vector<std::string> problems = verify_cdx_structure(index.index());
  if (!problems.empty()) return problems;
  for (std::size_t i = 1; i <= index.order_count(); ++i) verify_order(table, index.cdx_order(i), problems);
  return problems;
}

}  // namespace data
