#pragma once
// Between the file system's shared part and the part each system implements.

#include <mutex>
#include <shared_mutex>

namespace ut::fs::detail {

/// How many ListingCacheScope objects live; while any does, what was looked up is kept.
int& CacheDepth();
/// Guards the caches, which the threads reading sources ahead of a scan's walk share: shared
/// to look up, exclusive to add.
std::shared_mutex& CacheMutex();
/// Forgets the listings and file states kept while a cache scope lives.
void ClearCaches();

} // namespace ut::fs::detail
