// language_resources.cpp - CLanguageDllResources and the process-wide
// resource table.
#include "messages/language_resources.h"

#include <atomic>
#include <cstring>
#include <map>
#include <new>
#include <string>

#include "base/critical_section.h"
#include "base/text_lookup.h"
#include "platform/message_table.h"

/// The table every CLanguageDllResources object shares.
class CLanguageDllResourceTable {
 public:
  struct Binding {
    int index;          // module index of the bound text
    uint32_t id;        // string id of the bound text
    const char *saved;  // the variable's text when it was bound
  };

  CSalCriticalSection lock;                           // re-entrant; guards cache and bindings
  std::map<uint32_t, std::string> cache;              // string id -> text
  std::map<const char **, Binding> bindings;          // variable address -> binding
  SalModuleHandle modules[4] = {nullptr, nullptr, nullptr, nullptr};
};

namespace {
enum TableState : int { kNotCreated, kLive, kDestroyed };

// The table's life: not yet created, live, destroyed.  A destroyed table
// is not created again.  Creation happens during load and attach, but the
// state is atomic all the same, so that a late first use from another
// thread cannot see half a table.
std::atomic<int> g_state{kNotCreated};
std::atomic<CLanguageDllResourceTable *> g_table{nullptr};

constexpr int kModuleCount = 4;
constexpr int kStringCapacity = 2048;  // 2047 bytes of text and the terminator

bool ValidIndex(int index) { return index >= 0 && index < kModuleCount; }

CLanguageDllResourceTable *FetchTable() {
  int state = g_state.load();
  if (state == kLive) return g_table.load();
  if (state == kDestroyed) return nullptr;
  CLanguageDllResourceTable *fresh = new (std::nothrow) CLanguageDllResourceTable();
  if (fresh == nullptr) return nullptr;  // no table yet: defaults answer, the next use tries again
  CLanguageDllResourceTable *expected = nullptr;
  if (!g_table.compare_exchange_strong(expected, fresh)) {
    delete fresh;  // another thread was first
    return g_state.load() == kLive ? expected : nullptr;
  }
  g_state.store(kLive);
  return fresh;
}
}  // namespace

CLanguageDllResources::CLanguageDllResources() : table_(nullptr), languageModuleLoaded_(false) {
  Table();
}

CLanguageDllResources::~CLanguageDllResources() {
  // Only the live process table is destroyed; a pointer to a table that is
  // gone already is never followed.
  if (table_ == nullptr || g_state.load() != kLive || g_table.load() != table_) return;
  RestoreBoundStrings();
  CLanguageDllResourceTable *table = table_;
  g_state.store(kDestroyed);
  g_table.store(nullptr);
  table_ = nullptr;
  delete table;
}

CLanguageDllResourceTable *CLanguageDllResources::Table() {
  table_ = FetchTable();
  return table_;
}

void CLanguageDllResources::SetModule(int index, SalModuleHandle handle) {
  CLanguageDllResourceTable *table = Table();
  if (table != nullptr && ValidIndex(index)) table->modules[index] = handle;
}

SalModuleHandle CLanguageDllResources::GetModule(int index) {
  CLanguageDllResourceTable *table = Table();
  return (table != nullptr && ValidIndex(index)) ? table->modules[index] : nullptr;
}

const char *CLanguageDllResources::GetString(int index, uint32_t id, const char *defaultText) {
  if (id == 0 || !ValidIndex(index)) return defaultText;
  if (const char *text = FindString(id)) return text;
  if (const char *text = LoadModuleString(index, id)) return text;
  return defaultText;
}

const char *CLanguageDllResources::LoadModuleString(int index, uint32_t id) {
  if (id == 0 || !ValidIndex(index)) return nullptr;
  CLanguageDllResourceTable *table = Table();
  if (table == nullptr) return nullptr;
  char buffer[kStringCapacity];
  // The platform load runs unlocked; only the cache update takes the lock.
  const int n = sal::os::LoadModuleString(table->modules[index], id, buffer, kStringCapacity);
  if (n < 1) return nullptr;
  buffer[n < kStringCapacity ? n : kStringCapacity - 1] = '\0';
  if (!StoreString(id, buffer)) return nullptr;
  return FindString(id);
}

const char *CLanguageDllResources::FindString(uint32_t id) {
  CLanguageDllResourceTable *table = Table();
  if (table == nullptr) return nullptr;
  CSalLock guard(&table->lock);
  auto it = table->cache.find(id);
  return it != table->cache.end() ? it->second.c_str() : nullptr;
}

int CLanguageDllResources::StoreString(uint32_t id, const char *text) {
  CLanguageDllResourceTable *table = Table();
  if (table == nullptr || text == nullptr) return 0;
  CSalLock guard(&table->lock);
  try {
    auto it = table->cache.find(id);
    if (it == table->cache.end()) {
      table->cache.emplace(id, text);
    } else if (it->second != text) {
      // Storing the same text again keeps the cached copy, so that texts
      // handed out for the id (and variables bound to it) stay valid.
      std::string copy(text);
      it->second.swap(copy);
    }
  } catch (const std::bad_alloc &) {
    return 0;
  }
  return 1;
}

void CLanguageDllResources::BindString(int index, uint32_t id, const char **variable) {
  if (variable == nullptr || id == 0 || !ValidIndex(index)) return;
  CLanguageDllResourceTable *table = Table();
  if (table == nullptr) return;
  CSalLock guard(&table->lock);
  try {
    table->bindings[variable] = CLanguageDllResourceTable::Binding{index, id, *variable};
  } catch (const std::bad_alloc &) {
    // Not bound: the variable keeps its text through reloads.
  }
}

void CLanguageDllResources::BindString(int index, uint32_t id, const char **variable,
                                       const char *defaultText) {
  if (variable == nullptr) return;
  *variable = defaultText;
  BindString(index, id, variable);
}

void CLanguageDllResources::ReloadBoundStrings() {
  CLanguageDllResourceTable *table = Table();
  if (table == nullptr) return;
  CSalLock guard(&table->lock);  // held through the walk; the loads take it again
  for (auto &entry : table->bindings) {
    if (const char *text = LoadModuleString(entry.second.index, entry.second.id)) *entry.first = text;
  }
}

void CLanguageDllResources::RestoreBoundStrings() {
  CLanguageDllResourceTable *table = Table();
  if (table == nullptr) return;
  CSalLock guard(&table->lock);
  for (auto &entry : table->bindings) *entry.first = entry.second.saved;
}

void CLanguageDllResources::ClearBindings() {
  CLanguageDllResourceTable *table = Table();
  if (table == nullptr) return;
  CSalLock guard(&table->lock);
  RestoreBoundStrings();
  table->cache.clear();
  table->bindings.clear();
}

namespace {
const char *LookUpResourceText(void *context, int module, uint32_t id, const char *fallback) {
  return static_cast<CLanguageDllResources *>(context)->GetString(module, id, fallback);
}
}  // namespace

void SalInstallTextLookup(CLanguageDllResources *resources) {
  if (resources == nullptr)
    SalSetTextLookup(nullptr, nullptr);
  else
    SalSetTextLookup(&LookUpResourceText, resources);
}

void SalAllowNewResourceTable() {
  int destroyed = kDestroyed;
  g_state.compare_exchange_strong(destroyed, kNotCreated);
}
