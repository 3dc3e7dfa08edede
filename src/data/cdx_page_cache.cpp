#include "data/cdx_page_cache.h"

namespace data {

std::shared_ptr<const CdxNode> CdxPageCache::find(CdxFileId file, std::uint32_t page) {
  std::lock_guard lock(m_mutex);
  const auto it = m_pages.find(Key{file, page});
  if (it == m_pages.end()) return nullptr;
  m_lru.splice(m_lru.begin(), m_lru, it->second);
  return it->second->second;
}

void CdxPageCache::put(CdxFileId file, std::uint32_t page, std::shared_ptr<const CdxNode> node) {
  std::lock_guard lock(m_mutex);
  const Key key{file, page};
  if (const auto it = m_pages.find(key); it != m_pages.end()) {
    it->second->second = std::move(node);
    m_lru.splice(m_lru.begin(), m_lru, it->second);
    return;
  }
  m_lru.emplace_front(key, std::move(node));
  m_pages.emplace(key, m_lru.begin());
  while (m_pages.size() > m_capacity) {
    m_pages.erase(m_lru.back().first);
    m_lru.pop_back();
  }
}

void CdxPageCache::erase(CdxFileId file, std::uint32_t page) {
  std::lock_guard lock(m_mutex);
  if (const auto it = m_pages.find(Key{file, page}); it != m_pages.end()) {
    m_lru.erase(it->second);
    m_pages.erase(it);
  }
}

std::shared_ptr<const CdxCatalogue> CdxPageCache::catalogue(CdxFileId file) {
  std::lock_guard lock(m_mutex);
  const auto it = m_catalogues.find(file);
  return it == m_catalogues.end() ? nullptr : it->second;
}

void CdxPageCache::put_catalogue(CdxFileId file, std::shared_ptr<const CdxCatalogue> catalogue) {
  std::lock_guard lock(m_mutex);
  m_catalogues[file] = std::move(catalogue);
}

void CdxPageCache::forget_catalogue(CdxFileId file) {
  std::lock_guard lock(m_mutex);
  m_catalogues.erase(file);
}

bool CdxPageCache::validate(CdxFileId file, std::uint64_t markers) {
  std::lock_guard lock(m_mutex);
  const auto it = m_markers.find(file);
  if (it != m_markers.end() && it->second == markers) return false;
  drop_file_locked(file);
  m_markers[file] = markers;
  return true;
}

void CdxPageCache::set_markers(CdxFileId file, std::uint64_t markers) {
  std::lock_guard lock(m_mutex);
  m_markers[file] = markers;
}

void CdxPageCache::drop_file(CdxFileId file) {
  std::lock_guard lock(m_mutex);
  drop_file_locked(file);
  m_markers.erase(file);
}

void CdxPageCache::drop_file_locked(CdxFileId file) {
  m_catalogues.erase(file);
  for (auto it = m_lru.begin(); it != m_lru.end();) {
    if (it->first.file == file) {
      m_pages.erase(it->first);
      it = m_lru.erase(it);
    } else {
      ++it;
    }
  }
}

std::size_t CdxPageCache::size() const {
  std::lock_guard lock(m_mutex);
  return m_pages.size();
}

}  // namespace data
