#include "data/cdx_table_builder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <optional>
#include <vector>

#include "data/cdx_index.h"
#include "data/cdx_record_source.h"
#include "data/cdx_table_index.h"
#include "data/cdx_table_order.h"
#include "data/expr_expression.h"
#include "data/unique_fd.h"

namespace data {
namespace {

// One tag being built: its definition, compiled expressions and collected entries.
struct TagPlan {
  CdxIndex::NewTag tag;
  std::optional<Expression> key;
  std::optional<Expression> condition;
  std::unique_ptr<CdxEntryList> entries;
};

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

Result<TagPlan> plan_tag(const CdxTagDefinition& d, const FieldSource& fields) {
  const std::string name = upper(d.name);
  if (!CdxIndex::is_valid_tag_name(name)) return Error{-1, "invalid tag name \"" + d.name + "\""};
  auto key = Expression::compile(d.key_expression, fields);
  if (!key) return Error{-1, "tag " + name + ": key expression: " + key.error().text};
  TagPlan plan;
  plan.tag.name = name;
  CdxTagHeader& header = plan.tag.header;
  header.key_expression = d.key_expression;
  header.for_expression = d.for_expression;
  header.descending = d.descending;
  if (d.unique) header.options |= CdxTagHeader::kUnique;
  if (!d.for_expression.empty()) {
    auto condition = Expression::compile(d.for_expression, fields);
    if (!condition) return Error{-1, "tag " + name + ": FOR expression: " + condition.error().text};
    if (condition->result_kind() != ResultKind::Logical) return Error{-1, "tag " + name + ": FOR expression is not logical"};
    header.options |= CdxTagHeader::kHasFor;
    plan.condition = std::move(*condition);
  }
  switch (key->result_kind()) {
    case ResultKind::Text:
      plan.tag.type = CdxKeyType::Character;
      header.key_length = key->result_width();
      break;
    case ResultKind::Number:
      plan.tag.type = CdxKeyType::Numeric;
      header.key_length = 8;
      break;
    case ResultKind::Date:
      plan.tag.type = CdxKeyType::Date;
      header.key_length = 8;
      break;
    case ResultKind::Logical:
      plan.tag.type = CdxKeyType::Logical;
      header.key_length = 1;
      break;
  }
  if (header.key_length < 1 || header.key_length > kCdxMaxKeyLength)
    return Error{-1, "tag " + name + ": key length " + std::to_string(header.key_length) + " (1 to 240 bytes)"};
  plan.key = std::move(*key);
  plan.entries = std::make_unique<CdxEntryList>(header.key_length);
  return plan;
}

// Reads every record in large blocks, straight from the file, and collects each tag's
// entries; then sorts them.
Result<void> collect(DbfTable& table, std::vector<TagPlan>& plans) {
  const UniqueFd fd(::open(table.path().c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return Error{-1, table.path().string() + ": cannot read"};
  const std::uint32_t count = table.last_rec();
  const std::size_t length = table.header().record_length;
  const off_t start = table.header().header_length;
  CdxRecordSource source(table, upper(table.path().stem().string()));
  for (TagPlan& plan : plans) plan.entries->reserve(count);
  constexpr std::uint32_t kBlock = 4096;
  std::vector<std::byte> block(kBlock * length);
  std::string key;
  for (std::uint32_t first = 1; first <= count; first += kBlock) {
    const std::uint32_t n = std::min(kBlock, count - first + 1);
    const std::size_t bytes = n * length;
    std::size_t done = 0;
    while (done < bytes) {
      const ssize_t got = ::pread(fd.get(), block.data() + done, bytes - done,
                                  start + static_cast<off_t>((first - 1) * length + done));
      if (got <= 0) return Error{-1, table.path().string() + ": records end before record " + std::to_string(count)};
      done += static_cast<std::size_t>(got);
    }
    for (std::uint32_t i = 0; i < n; ++i) {
      source.set_record(std::span<const std::byte>(block).subspan(i * length, length), first + i);
      for (TagPlan& plan : plans) {
        if (plan.condition && !plan.condition->evaluate_logical(source)) continue;
        cdx_key_bytes(*plan.key, plan.tag.type, plan.tag.header.key_length, source, key);
        plan.entries->add(key, first + i);
      }
    }
  }
  for (TagPlan& plan : plans) {
    plan.entries->sort(plan.tag.header.is_unique());
    plan.tag.entries = plan.entries.get();
  }
  return {};
}

Result<void> attach(DbfTable& table, const std::filesystem::path& path, CdxPageCache& cache) {
  auto index = CdxTableIndex::open_file(table, path, cache);
  if (!index) return index.error();
  return table.attach_production_index(std::move(*index));
}

}  // namespace

Result<void> cdx_create_tag(DbfTable& table, CdxPageCache& cache, const CdxTagDefinition& definition) {
  if (Result<void> committed = table.commit(); !committed) return committed;
  const CdxRecordSource fields(table, upper(table.path().stem().string()));
  auto plan = plan_tag(definition, fields);
  if (!plan) return plan.error();
  std::vector<TagPlan> plans;
  plans.push_back(std::move(*plan));
  if (auto r = collect(table, plans); !r) return r;

  const std::filesystem::path path = CdxTableIndex::path_for(table.path());
  const CdxShare share = table.share() == Share::Shared ? CdxShare::Shared : CdxShare::Exclusive;
  auto index = std::filesystem::exists(path) ? CdxIndex::open(path.string(), cache, share, false)
                                             : CdxIndex::create(path.string(), cache, share);
  if (!index) return index.error();
  auto added = (*index)->add_tag(plans.front().tag);
  if (!added) return added.error();
  index->reset();
  return attach(table, path, cache);
}

Result<void> cdx_reindex(DbfTable& table, CdxPageCache& cache) {
  if (Result<void> committed = table.commit(); !committed) return committed;
  const std::filesystem::path path = CdxTableIndex::path_for(table.path());
  if (!std::filesystem::exists(path)) return Error{-1, table.path().filename().string() + " has no index file"};
  const CdxShare share = table.share() == Share::Shared ? CdxShare::Shared : CdxShare::Exclusive;
  auto index = CdxIndex::open(path.string(), cache, share, false);
  if (!index) return index.error();
  const CdxRecordSource fields(table, upper(table.path().stem().string()));
  std::vector<TagPlan> plans;
  for (std::size_t i = 0; i < (*index)->tag_count(); ++i) {
    const CdxTag& tag = (*index)->tag(i);
    CdxTagDefinition d{tag.name(), tag.header().key_expression, tag.header().for_expression,
                       tag.header().descending, tag.header().is_unique()};
    auto plan = plan_tag(d, fields);
    if (!plan) return Error{-1, (*index)->file().name() + ", " + plan.error().text};
    // The tag keeps the key length and options the program that made it chose.
    plan->tag.header.options = tag.header().options;
    if (plan->tag.type == CdxKeyType::Character && plan->tag.header.key_length != tag.key_length()) {
      plan->tag.header.key_length = tag.key_length();
      plan->entries = std::make_unique<CdxEntryList>(tag.key_length());
    }
    plans.push_back(std::move(*plan));
  }
  if (auto r = collect(table, plans); !r) return r;
  std::vector<CdxIndex::NewTag> tags;
  for (const TagPlan& plan : plans) tags.push_back(plan.tag);
  if (auto r = (*index)->rewrite(tags); !r) return r;
  index->reset();
  return attach(table, path, cache);
}

}  // namespace data
