#include "tools/seeding/seed_store.h"

#include "sources/random_id_store.h"

namespace nodmark::tools {

int SeedStore() {
  using sources::StoreOutcome;
  switch (sources::ResolveStoredRandomId().outcome) {
    case StoreOutcome::kValueRead:
    case StoreOutcome::kValueReadAfterWait:
    case StoreOutcome::kValueWritten:
      return kSeedKept;
    case StoreOutcome::kWriteFailed:
      return kSeedWriteFailed;
    // An empty value is kept as it is, and hosts read it back as "ZZZ", the value of
    // every machine whose store failed: present, but no identifier of this machine.
    case StoreOutcome::kEmptyValue:
      return kSeedEmptyValue;
    case StoreOutcome::kNoSystemDirectory:
      break;
  }
  return kSeedNoSystemDirectory;
}

}  // namespace nodmark::tools
