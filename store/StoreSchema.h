#pragma once
// The store's schema version (PRAGMA user_version): 0 for a store of the
// releases before the entries' details, 1 since. A store of an earlier
// version is brought forward in place, in one transaction; a store of a
// later version is read as it is and its details are never written, since
// this release cannot know what that version's tables mean.

#include <string>

class SqlDatabase;

inline constexpr long long kStoreSchemaVersion = 1;

enum class SchemaState {
    Current,           // this release's version (perhaps just made or brought forward)
    Newer,             // made by a later release: details read, never written
    NotBroughtForward, // an earlier version that could not be changed (read-only, locked)
};

struct StoreSchema {
    SchemaState state = SchemaState::Current;
    long long version = kStoreSchemaVersion; // the version the file says
    long long broughtFrom = -1;              // the version it had before, when brought forward
    std::string engineMessage;               // why it could not be brought forward
    bool DetailsWritable() const { return state == SchemaState::Current; }
    bool DetailsReadable() const { return state != SchemaState::NotBroughtForward; }
};

// Reads the version and brings an earlier store forward (the details table
// and its index made, the version set, all or nothing). Never raises.
StoreSchema PrepareStoreSchema(SqlDatabase& db);
