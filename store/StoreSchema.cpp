#include "store/StoreSchema.h"

#include "store/EntryDetailSql.h"
#include "store/SqlDatabase.h"
#include "store/SqlException.h"

namespace {

long long ReadVersion(SqlDatabase& db) {
    SqlQuery version = db.RunQuery("PRAGMA user_version");
    return version.AtEnd() ? 0 : version.Int64Column("user_version");
}

bool DetailTableExists(SqlDatabase& db) {
    try {
        db.Prepare((std::string("SELECT Md5 FROM ") + kDetailTable + " LIMIT 1").c_str());
        return true;
    } catch (const SqlException&) {
        return false;
    }
}

// The details table and index, and the version: one transaction.
void BringForward(SqlDatabase& db) {
    db.RunStatement("BEGIN IMMEDIATE");
    try {
        db.RunStatement(CreateDetailTableStatement().c_str());
        db.RunStatement(CreateDetailSha256IndexStatement().c_str());
        db.RunStatement(("PRAGMA user_version = " + std::to_string(kStoreSchemaVersion)).c_str());
        db.RunStatement("COMMIT");
    } catch (const SqlException&) {
        if (db.InTransaction()) {
            try {
                db.RunStatement("ROLLBACK");
            } catch (const SqlException&) {
                // The connection rolls back itself when it closes.
            }
        }
        throw;
    }
}

} // namespace

StoreSchema PrepareStoreSchema(SqlDatabase& db) {
    StoreSchema schema;
    try {
        schema.version = ReadVersion(db);
        if (schema.version > kStoreSchemaVersion) {
            schema.state = SchemaState::Newer;
            return schema;
        }
        // A current store whose details table was dropped gets it back, as
        // the lists' tables are made again when they are missing.
        if (schema.version == kStoreSchemaVersion && DetailTableExists(db))
            return schema;
        const long long before = schema.version;
        BringForward(db);
        schema.version = kStoreSchemaVersion;
        if (before != kStoreSchemaVersion)
            schema.broughtFrom = before;
    } catch (const SqlException& error) {
        schema.state = SchemaState::NotBroughtForward;
        schema.engineMessage = error.Message();
    }
    return schema;
}
