#pragma once
// The floors the benchmarks print beside the client's figures, measured in the same run: the
// store's own query of the same rows, and readdir + stat of the same directory.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

namespace bench {

/// Runs `sql` (prepared once, stepped through every row) on the network's store per
/// iteration; reports rows per iteration.
inline void storeFloor(benchmark::State& state, const std::filesystem::path& network, const char* sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2((network / "network.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return state.SkipWithError("cannot open the store");
  }
  sqlite3_stmt* q = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &q, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return state.SkipWithError(sqlite3_errmsg(db));
  }
  long rows = 0;
  for (auto _ : state) {
    rows = 0;
    while (sqlite3_step(q) == SQLITE_ROW) {
      benchmark::DoNotOptimize(sqlite3_column_text(q, 0));
      ++rows;
    }
    sqlite3_reset(q);
  }
  sqlite3_finalize(q);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * rows);
  state.counters["rows"] = static_cast<double>(rows);
}

/// Reads the directory and stats every entry per iteration; reports entries per iteration.
inline void directoryFloor(benchmark::State& state, const std::filesystem::path& dir) {
  long entries = 0;
  for (auto _ : state) {
    entries = 0;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return state.SkipWithError("cannot read the directory");
    while (dirent* e = ::readdir(d)) {
      if (e->d_name[0] == '.') continue;
      struct stat st{};
      ::fstatat(::dirfd(d), e->d_name, &st, 0);
      benchmark::DoNotOptimize(st.st_size);
      ++entries;
    }
    ::closedir(d);
  }
  state.SetItemsProcessed(state.iterations() * entries);
  state.counters["us_per_entry"] = benchmark::Counter(static_cast<double>(entries) * state.iterations() / 1e6,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace bench
