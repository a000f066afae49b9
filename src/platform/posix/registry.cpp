// The registry off Windows: an SQLite database with a table of keys (a tree by parent row) and a table of values.
// Names are kept as first written and compared through their upper-case fold, as the Windows registry compares them.
// Each operation runs in its own transaction; writers take the write lock at once (BEGIN IMMEDIATE) and every
// connection waits for a busy database, so concurrent programs take turns instead of failing or corrupting it.
#include <sqlite3.h>
#include <utf8proc.h>

#include <cstdlib>
#include <cstring>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace Arkova::Platform {

namespace {

constexpr std::int64_t kRootKeyId = 0;
constexpr int kBusyTimeoutMs = 10000;
constexpr RegistryResult kRegistryBusy = 170;       // ERROR_BUSY
constexpr RegistryResult kRegistryDiskFull = 112;   // ERROR_DISK_FULL
constexpr RegistryResult kRegistryIoFailed = 1016;  // ERROR_REGISTRY_IO_FAILED

constexpr char kSchema[] =
    "CREATE TABLE IF NOT EXISTS registry_keys("
    " id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL, name TEXT NOT NULL, folded TEXT NOT NULL,"
    " UNIQUE(parent, folded));"
    "CREATE TABLE IF NOT EXISTS registry_values("
    " key INTEGER NOT NULL, name TEXT NOT NULL, folded TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY(key, folded));";

RegistryResult ResultOf(int sqliteCode) {
    switch (sqliteCode & 0xFF) {
        case SQLITE_OK:
        case SQLITE_DONE:
        case SQLITE_ROW:
            return kRegistryOk;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return kRegistryBusy;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return kRegistryAccessDenied;
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return kRegistryBadDatabase;
        case SQLITE_FULL:
            return kRegistryDiskFull;
        default:
            return kRegistryIoFailed;
    }
}

std::string StorePath() {
    const char* explicitPath = std::getenv("ARKOVA_REGISTRY");
    if (explicitPath != nullptr && *explicitPath != '\0') return explicitPath;
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (configHome != nullptr && *configHome != '\0') {
        base = configHome;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || *home == '\0') return {};
        base = std::string(home) + "/.config";
    }
    return base + "/arkova/registry.sqlite3";
}

// The upper-case fold that makes names compare without regard to case.
std::string Fold(const std::wstring& name) {
    std::wstring folded;
    folded.reserve(name.size());
    for (wchar_t c : name) {
        auto code = static_cast<utf8proc_int32_t>(c);
        folded += utf8proc_codepoint_valid(code) ? static_cast<wchar_t>(utf8proc_toupper(code)) : c;
    }
    return WideToUtf8(folded);
}

std::size_t Utf16Length(const std::wstring& text) {
    std::size_t units = 0;
    for (wchar_t c : text) units += static_cast<std::uint32_t>(c) >= 0x10000 ? 2 : 1;
    return units;
}

class Statement {
public:
    Statement(sqlite3* db, const char* sql) { code_ = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr); }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, std::int64_t value) {
        if (code_ == SQLITE_OK) code_ = sqlite3_bind_int64(statement_, index, value);
        return *this;
    }
    Statement& Bind(int index, const std::string& text) {
        if (code_ == SQLITE_OK)
            code_ = sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& BindBlob(int index, const void* data, std::uint32_t size) {
        if (code_ != SQLITE_OK) return *this;
        code_ = size == 0 ? sqlite3_bind_zeroblob(statement_, index, 0)
                          : sqlite3_bind_blob(statement_, index, data, static_cast<int>(size), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() {
        if (code_ != SQLITE_OK && code_ != SQLITE_ROW) return code_;
        code_ = sqlite3_step(statement_);
        return code_;
    }
    sqlite3_stmt* Raw() { return statement_; }

private:
    sqlite3_stmt* statement_ = nullptr;
    int code_ = SQLITE_OK;
};

// One transaction; rolled back unless committed.
class Transaction {
public:
    Transaction(sqlite3* db, bool forWriting) : db_(db) {
        code_ = sqlite3_exec(db, forWriting ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr, nullptr);
    }
    ~Transaction() {
        if (code_ == SQLITE_OK && !committed_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    RegistryResult Begun() const { return ResultOf(code_); }
    RegistryResult Commit() {
        int code = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        committed_ = code == SQLITE_OK;
        return ResultOf(code);
    }

private:
    sqlite3* db_;
    int code_;
    bool committed_ = false;
};

bool HasSchema(sqlite3* db, int& code) {
    Statement query(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'registry_values'");
    code = query.Step();
    if (code != SQLITE_ROW) return false;
    code = SQLITE_OK;
    return sqlite3_column_int(query.Raw(), 0) != 0;
}

// Opens the store; with `create`, makes the file (and its folder) and the tables when they are missing.
RegistryResult Connect(bool create, sqlite3*& db) {
    db = nullptr;
    std::string path = StorePath();
    if (path.empty()) return create ? kRegistryAccessDenied : kRegistryNotFound;
    bool isUri = path.rfind("file:", 0) == 0;
    if (create && !isUri) {
        std::size_t slash = path.find_last_of('/');
        if (slash != std::string::npos && slash > 0) MakeDirectories(Utf8ToWide(path.substr(0, slash)));
    }
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | (create ? SQLITE_OPEN_CREATE : 0);
    int code = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (code != SQLITE_OK) {
        sqlite3_close_v2(db);
        db = nullptr;
        if ((code & 0xFF) == SQLITE_CANTOPEN) return create ? kRegistryAccessDenied : kRegistryNotFound;
        return ResultOf(code);
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    bool hasSchema = HasSchema(db, code);
    if (code == SQLITE_OK && !hasSchema) {
        if (create) {
            code = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
        } else {
            code = SQLITE_OK;
            sqlite3_close_v2(db);
            db = nullptr;
            return kRegistryNotFound;
        }
    }
    if (code != SQLITE_OK) {
        sqlite3_close_v2(db);
        db = nullptr;
        return ResultOf(code);
    }
    return kRegistryOk;
}

// Walks the "\"-separated path from the root; with `create`, adds the keys that are missing.
RegistryResult Resolve(sqlite3* db, const std::wstring& path, bool create, std::int64_t& id) {
    id = kRootKeyId;
    if (path.empty()) return kRegistryOk;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        std::wstring name = path.substr(start, end - start);
        if (name.empty()) return kRegistryBadPathName;
        std::string folded = Fold(name);
        Statement find(db, "SELECT id FROM registry_keys WHERE parent = ? AND folded = ?");
        int code = find.Bind(1, id).Bind(2, folded).Step();
        if (code == SQLITE_ROW) {
            id = sqlite3_column_int64(find.Raw(), 0);
        } else if (code != SQLITE_DONE) {
            return ResultOf(code);
        } else if (!create) {
            return kRegistryNotFound;
        } else {
            if (Utf16Length(name) > kRegistryMaxKeyName) return kRegistryInvalidParameter;
            Statement insert(db, "INSERT INTO registry_keys(parent, name, folded) VALUES(?, ?, ?)");
            code = insert.Bind(1, id).Bind(2, WideToUtf8(name)).Bind(3, folded).Step();
            if (code != SQLITE_DONE) return ResultOf(code);
            id = sqlite3_last_insert_rowid(db);
        }
        start = end + 1;
    }
    return kRegistryOk;
}

RegistryResult CheckKeyExists(sqlite3* db, std::int64_t id) {
    if (id == kRootKeyId) return kRegistryOk;
    Statement find(db, "SELECT 1 FROM registry_keys WHERE id = ?");
    int code = find.Bind(1, id).Step();
    if (code == SQLITE_ROW) return kRegistryOk;
    return code == SQLITE_DONE ? kRegistryKeyDeleted : ResultOf(code);
}

bool CanRead(RegistryAccess access) { return access != RegistryAccess::Write; }
bool CanWrite(RegistryAccess access) { return access != RegistryAccess::Read; }

sqlite3* Db(void* handle) { return static_cast<sqlite3*>(handle); }

}  // namespace

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : handle_(other.handle_), keyId_(other.keyId_), access_(other.access_) {
    other.handle_ = nullptr;
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        keyId_ = other.keyId_;
        access_ = other.access_;
        other.handle_ = nullptr;
    }
    return *this;
}

RegistryResult RegistryKey::Open(const std::wstring& path, RegistryAccess access) {
    return Attach(path, access, false);
}

RegistryResult RegistryKey::Create(const std::wstring& path, RegistryAccess access) {
    return Attach(path, access, true);
}

RegistryResult RegistryKey::Attach(const std::wstring& path, RegistryAccess access, bool create) {
    Close();
    sqlite3* db = nullptr;
    RegistryResult result = Connect(create, db);
    if (result != kRegistryOk) return result;
    std::int64_t id = kRootKeyId;
    {
        Transaction transaction(db, create);
        result = transaction.Begun();
        if (result == kRegistryOk) result = Resolve(db, path, create, id);
        if (result == kRegistryOk) result = transaction.Commit();
    }
    if (result != kRegistryOk) {
        sqlite3_close_v2(db);
        return result;
    }
    handle_ = db;
    keyId_ = id;
    access_ = access;
    return kRegistryOk;
}

void RegistryKey::Close() {
    if (handle_ != nullptr) sqlite3_close_v2(Db(handle_));
    handle_ = nullptr;
    keyId_ = -1;
}

RegistryResult RegistryKey::QueryValue(const std::wstring& name, std::uint32_t* type, void* data,
                                       std::uint32_t* size) const {
    if (handle_ == nullptr) return kRegistryInvalidHandle;
    if (!CanRead(access_)) return kRegistryAccessDenied;
    if (data != nullptr && size == nullptr) return kRegistryInvalidParameter;
    sqlite3* db = Db(handle_);
    Transaction transaction(db, false);
    RegistryResult result = transaction.Begun();
    if (result == kRegistryOk) result = CheckKeyExists(db, keyId_);
    if (result != kRegistryOk) return result;
    Statement find(db, "SELECT type, data FROM registry_values WHERE key = ? AND folded = ?");
    int code = find.Bind(1, keyId_).Bind(2, Fold(name)).Step();
    if (code != SQLITE_ROW) return code == SQLITE_DONE ? kRegistryNotFound : ResultOf(code);

    if (type != nullptr) *type = static_cast<std::uint32_t>(sqlite3_column_int64(find.Raw(), 0));
    const void* stored = sqlite3_column_blob(find.Raw(), 1);
    auto storedSize = static_cast<std::uint32_t>(sqlite3_column_bytes(find.Raw(), 1));
    if (size == nullptr) return kRegistryOk;
    std::uint32_t capacity = *size;
    *size = storedSize;
    if (data == nullptr) return kRegistryOk;
    if (capacity < storedSize) return kRegistryMoreData;
    if (storedSize > 0) std::memcpy(data, stored, storedSize);
    return kRegistryOk;
}

RegistryResult RegistryKey::SetValue(const std::wstring& name, std::uint32_t type, const void* data,
                                     std::uint32_t size) {
    if (handle_ == nullptr) return kRegistryInvalidHandle;
    if (!CanWrite(access_)) return kRegistryAccessDenied;
    if (data == nullptr && size != 0) return kRegistryInvalidParameter;
    sqlite3* db = Db(handle_);
    Transaction transaction(db, true);
    RegistryResult result = transaction.Begun();
    if (result == kRegistryOk) result = CheckKeyExists(db, keyId_);
    if (result != kRegistryOk) return result;
    Statement upsert(db,
                     "INSERT INTO registry_values(key, name, folded, type, data) VALUES(?, ?, ?, ?, ?)"
                     " ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    int code = upsert.Bind(1, keyId_)
                   .Bind(2, WideToUtf8(name))
                   .Bind(3, Fold(name))
                   .Bind(4, static_cast<std::int64_t>(type))
                   .BindBlob(5, data, size)
                   .Step();
    if (code != SQLITE_DONE) return ResultOf(code);
    return transaction.Commit();
}

RegistryResult RegistryKey::DeleteValue(const std::wstring& name) {
    if (handle_ == nullptr) return kRegistryInvalidHandle;
    if (!CanWrite(access_)) return kRegistryAccessDenied;
    sqlite3* db = Db(handle_);
    Transaction transaction(db, true);
    RegistryResult result = transaction.Begun();
    if (result == kRegistryOk) result = CheckKeyExists(db, keyId_);
    if (result != kRegistryOk) return result;
    Statement erase(db, "DELETE FROM registry_values WHERE key = ? AND folded = ?");
    int code = erase.Bind(1, keyId_).Bind(2, Fold(name)).Step();
    if (code != SQLITE_DONE) return ResultOf(code);
    if (sqlite3_changes(db) == 0) return kRegistryNotFound;
    return transaction.Commit();
}

RegistryResult RegistryKey::EnumSubKey(std::uint32_t index, std::wstring& name) const {
    if (handle_ == nullptr) return kRegistryInvalidHandle;
    if (!CanRead(access_)) return kRegistryAccessDenied;
    sqlite3* db = Db(handle_);
    Transaction transaction(db, false);
    RegistryResult result = transaction.Begun();
    if (result == kRegistryOk) result = CheckKeyExists(db, keyId_);
    if (result != kRegistryOk) return result;
    Statement find(db, "SELECT name FROM registry_keys WHERE parent = ? ORDER BY folded LIMIT 1 OFFSET ?");
    int code = find.Bind(1, keyId_).Bind(2, static_cast<std::int64_t>(index)).Step();
    if (code != SQLITE_ROW) return code == SQLITE_DONE ? kRegistryNoMoreItems : ResultOf(code);
    auto text = reinterpret_cast<const char*>(sqlite3_column_text(find.Raw(), 0));
    std::wstring found = Utf8ToWide(text != nullptr ? text : "");
    if (Utf16Length(found) > kRegistryMaxKeyName) return kRegistryMoreData;
    name = found;
    return kRegistryOk;
}

RegistryResult DeleteKey(const std::wstring& path) {
    sqlite3* db = nullptr;
    RegistryResult result = Connect(false, db);
    if (result != kRegistryOk) return result;
    std::int64_t id = kRootKeyId;
    {
        Transaction transaction(db, true);
        result = transaction.Begun();
        if (result == kRegistryOk) result = Resolve(db, path, false, id);
        if (result == kRegistryOk && id == kRootKeyId) result = kRegistryAccessDenied;
        if (result == kRegistryOk) {
            // Like RegDeleteKeyW: a key with sub-keys stays.
            Statement children(db, "SELECT 1 FROM registry_keys WHERE parent = ? LIMIT 1");
            int code = children.Bind(1, id).Step();
            if (code == SQLITE_ROW)
                result = kRegistryAccessDenied;
            else if (code != SQLITE_DONE)
                result = ResultOf(code);
        }
        if (result == kRegistryOk) {
            Statement values(db, "DELETE FROM registry_values WHERE key = ?");
            int code = values.Bind(1, id).Step();
            if (code == SQLITE_DONE) {
                Statement key(db, "DELETE FROM registry_keys WHERE id = ?");
                code = key.Bind(1, id).Step();
            }
            result = code == SQLITE_DONE ? transaction.Commit() : ResultOf(code);
        }
    }
    sqlite3_close_v2(db);
    return result;
}

}  // namespace Arkova::Platform
