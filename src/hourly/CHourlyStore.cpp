#include "hourly/CHourlyStore.h"

#include <errno.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>

#include "core/Units.h"
#include "persistence/DataFile.h"

namespace {

constexpr const char* kSchema =
    "CREATE TABLE interfaces(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);"
    "CREATE TABLE hours(interface INTEGER NOT NULL, hour_start INTEGER NOT NULL,"
    " received INTEGER NOT NULL, sent INTEGER NOT NULL, monitored INTEGER NOT NULL,"
    " origin INTEGER NOT NULL, PRIMARY KEY(interface, hour_start)) WITHOUT ROWID;";

// The meter's figures add to its own count of the hour and replace an imported one.
constexpr const char* kAddHour =
    "INSERT INTO hours VALUES(?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT(interface, hour_start) DO UPDATE"
    " SET received = CASE WHEN origin = 0 THEN received + excluded.received"
    " ELSE excluded.received END,"
    " sent = CASE WHEN origin = 0 THEN sent + excluded.sent ELSE excluded.sent END,"
    " monitored = excluded.monitored, origin = excluded.origin";

// Imported figures never touch an hour the meter counted, and replace (not add to) an hour
// imported before: the same import twice changes nothing, and counts no change. A day's total,
// kept at its first hour, never replaces an imported hour: the day's other hours would then be
// counted twice.
constexpr const char* kImportHour =
    "INSERT INTO hours VALUES(?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT(interface, hour_start) DO UPDATE"
    " SET received = excluded.received, sent = excluded.sent, monitored = excluded.monitored,"
    " origin = excluded.origin WHERE origin <> 0 AND NOT (origin = 1 AND excluded.origin = 2)"
    " AND (received <> excluded.received"
    " OR sent <> excluded.sent OR monitored <> excluded.monitored OR origin <> excluded.origin)";

constexpr const char* kHoursOf =
    "SELECT hour_start, received, sent, monitored FROM hours WHERE interface = ?1"
    " AND hour_start >= ?2"
    " AND hour_start < ?3 AND monitored >= ?4 ORDER BY hour_start";

sqlite3_int64 AsStored(std::uint64_t bytes) {
    return static_cast<sqlite3_int64>(
        std::min<std::uint64_t>(bytes, std::numeric_limits<sqlite3_int64>::max()));
}

std::uint64_t AsBytes(sqlite3_int64 stored) {
    return stored > 0 ? static_cast<std::uint64_t>(stored) : 0;
}

bool IsDamage(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// Readies a statement for its next use (reset, bindings cleared) however the scope ends.
class CStatementReset {
public:
    explicit CStatementReset(sqlite3_stmt* statement) : statement_(statement) {}
    ~CStatementReset() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    CStatementReset(const CStatementReset&) = delete;
    CStatementReset& operator=(const CStatementReset&) = delete;

private:
    sqlite3_stmt* statement_;
};

}  // namespace

DayRecord AsDayRecord(const DayTotal& total) {
    DayRecord record;
    record.day = total.date.day;
    record.month = total.date.month;
    record.year = total.date.year;
    record.downloaded = static_cast<double>(total.received) / kBytesPerMB;
    record.uploaded = static_cast<double>(total.sent) / kBytesPerMB;
    return record;
}

CHourlyStore::CHourlyStore(const CDataFolder& folder, const LocalZone& zone)
    : folder_(folder), zone_(zone) {}

CHourlyStore::~CHourlyStore() {
    Close();
}

void CHourlyStore::Close() {
    for (sqlite3_stmt** statement :
         {&findInterface_, &addInterface_, &addHour_, &importHour_, &hoursOf_}) {
        sqlite3_finalize(*statement);
        *statement = nullptr;
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

int CHourlyStore::ErrorNumber(int sqliteCode) const {
    if (db_ != nullptr && sqlite3_system_errno(db_) != 0) {
        return sqlite3_system_errno(db_);
    }
    switch (sqliteCode & 0xff) {
        case SQLITE_FULL:
            return ENOSPC;
        case SQLITE_READONLY:
            return EROFS;
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return EACCES;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return EBUSY;
        case SQLITE_NOMEM:
            return ENOMEM;
        default:
            return EIO;
    }
}

CHourlyStore::OpenOutcome CHourlyStore::Open(std::int64_t nowUtc) {
    Close();
    keptAs_.clear();
    openError_ = 0;
    reopen_ = false;
    outcome_ = OpenOutcome::Failed;
    if (!folder_.EnsureDataFolder(&openError_)) {
        return outcome_;
    }
    const std::string path = FilePath();
    const bool existed = FileExists(path);
    const int code = OpenAndPrepare();
    if (code == SQLITE_OK) {
        outcome_ = existed ? OpenOutcome::Opened : OpenOutcome::Created;
        return outcome_;
    }
    // Only a file that is not a database of ours is moved aside. A file that cannot be opened
    // for another reason (permissions, a read-only or full disk) may be fine: it is left alone.
    if (!existed || !IsDamage(code)) {
        if (openError_ == 0) {
            openError_ = ErrorNumber(code);
        }
        Close();
        return outcome_;
    }
    return MoveAsideAndStartNew(nowUtc);
}

CHourlyStore::OpenOutcome CHourlyStore::MoveAsideAndStartNew(std::int64_t nowUtc) {
    Close();
    outcome_ = OpenOutcome::Failed;
    const std::string path = FilePath();
    const LocalDate today = zone_.LocalAt(nowUtc).date;
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", today.year, today.month, today.day);
    if (!MoveAside(path, path + ".bad-" + date, &keptAs_, &openError_)) {
        return outcome_;
    }
    // The write-ahead log belongs to the kept file (SQLite looks for it beside it), never to the
    // new one, which would otherwise take its pages as its own.
    if (::rename((path + "-wal").c_str(), (keptAs_ + "-wal").c_str()) != 0) {
        ::unlink((path + "-wal").c_str());
    }
    ::unlink((path + "-shm").c_str());
    const int code = OpenAndPrepare();
    if (code != SQLITE_OK) {
        openError_ = ErrorNumber(code);
        Close();
        return outcome_;
    }
    outcome_ = OpenOutcome::MovedAside;
    return outcome_;
}

int CHourlyStore::OpenAndPrepare() {
    const std::string path = FilePath();
    // Made by us first, so that it is the user's alone from the start; SQLite gives its journal
    // files the database's mode.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        openError_ = errno;
        return SQLITE_CANTOPEN;
    }
    ::close(fd);
    int code =
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        return code;
    }
    sqlite3_extended_result_codes(db_, 1);
    // Readers never hold up a save in WAL mode; only another writer could, briefly (a command run
    // beside the meter). The user-interface thread must not wait longer than that.
    sqlite3_busy_timeout(db_, 250);
    return PrepareSchema();
}

int CHourlyStore::QueryNumber(const char* sql, int& value) {
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr);
    if (code == SQLITE_OK && (code = sqlite3_step(statement)) == SQLITE_ROW) {
        value = sqlite3_column_int(statement, 0);
        code = SQLITE_OK;
    }
    sqlite3_finalize(statement);
    return code;
}

int CHourlyStore::PrepareSchema() {
    int unused = 0;
    int code = QueryNumber("PRAGMA journal_mode=WAL", unused);
    if (code != SQLITE_OK) {
        return code;
    }
    // With a write-ahead log, NORMAL loses nothing a killed program committed; only a power
    // loss may take back the last save.
    if (!Exec("PRAGMA synchronous=NORMAL")) {
        return sqlite3_extended_errcode(db_);
    }
    int version = -1;
    if ((code = QueryNumber("PRAGMA user_version", version)) != SQLITE_OK) {
        return code;
    }
    if (version > kSchemaVersion) {
        openError_ = ENOTSUP;  // a newer program's file: kept as it is for that program
        return SQLITE_CANTOPEN;
    }
    if (version == 0) {
        int tables = -1;
        if ((code = QueryNumber("SELECT count(*) FROM sqlite_schema", tables)) != SQLITE_OK) {
            return code;
        }
        if (tables != 0) {
            return SQLITE_NOTADB;  // somebody else's database
        }
        const std::string create = std::string("BEGIN;") + kSchema +
                                   "PRAGMA user_version=" + std::to_string(kSchemaVersion) +
                                   ";COMMIT;";
        if (!Exec(create.c_str())) {
            code = sqlite3_extended_errcode(db_);
            Exec("ROLLBACK");
            return code;
        }
    }
    return PrepareStatements();
}

int CHourlyStore::PrepareStatements() {
    // Our version, but without our tables: damaged.
    if (!Prepare(findInterface_, "SELECT id FROM interfaces WHERE name = ?1") ||
        !Prepare(addInterface_, "INSERT INTO interfaces(name) VALUES(?1)") ||
        !Prepare(addHour_, kAddHour) || !Prepare(importHour_, kImportHour) ||
        !Prepare(hoursOf_, kHoursOf)) {
        const int code = sqlite3_extended_errcode(db_);
        return (code & 0xff) == SQLITE_ERROR ? SQLITE_NOTADB : code;
    }
    return SQLITE_OK;
}

CHourlyStore::OpenOutcome CHourlyStore::OpenToRead() {
    Close();
    keptAs_.clear();
    openError_ = 0;
    reopen_ = false;
    outcome_ = OpenOutcome::Opened;
    if (!FileExists(FilePath())) {
        return outcome_;
    }
    int version = -1;
    int tables = -1;
    int code = sqlite3_open_v2(FilePath().c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                               nullptr);
    if (code == SQLITE_OK) {
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, 250);
        code = QueryNumber("PRAGMA user_version", version);
    }
    if (code == SQLITE_OK && version == 0) {
        code = QueryNumber("SELECT count(*) FROM sqlite_schema", tables);
    }
    if (code == SQLITE_OK && version > kSchemaVersion) {
        openError_ = ENOTSUP;
    } else if (code == SQLITE_OK && version == 0) {
        // A file the meter began but never readied holds no figures; another program's is not ours.
        openError_ = tables == 0 ? 0 : EBADMSG;
        Close();
        outcome_ = tables == 0 ? OpenOutcome::Opened : OpenOutcome::Failed;
        return outcome_;
    } else if (code == SQLITE_OK) {
        code = PrepareStatements();
    }
    if (code == SQLITE_OK && openError_ == 0) {
        return outcome_;
    }
    if (openError_ == 0) {
        openError_ = IsDamage(code) ? EBADMSG : ErrorNumber(code);
    }
    Close();
    outcome_ = OpenOutcome::Failed;
    return outcome_;
}

bool CHourlyStore::Prepare(sqlite3_stmt*& statement, const char* sql) {
    return sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) ==
           SQLITE_OK;
}

bool CHourlyStore::Exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool CHourlyStore::InterfaceId(std::string_view name, std::int64_t& id) {
    {
        CStatementReset reset(findInterface_);
        sqlite3_bind_text(findInterface_, 1, name.data(), static_cast<int>(name.size()),
                          SQLITE_STATIC);
        const int code = sqlite3_step(findInterface_);
        if (code == SQLITE_ROW) {
            id = sqlite3_column_int64(findInterface_, 0);
            return true;
        }
        if (code != SQLITE_DONE) {
            return false;
        }
    }
    CStatementReset reset(addInterface_);
    sqlite3_bind_text(addInterface_, 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    if (sqlite3_step(addInterface_) != SQLITE_DONE) {
        return false;
    }
    id = sqlite3_last_insert_rowid(db_);
    return true;
}

bool CHourlyStore::PutRows(sqlite3_stmt* statement, std::span<const HourRow> rows,
                           HourOrigin origin, int& changes) {
    for (const HourRow& row : rows) {
        std::int64_t id = 0;
        if (!InterfaceId(row.interfaceName, id)) {
            return false;
        }
        CStatementReset reset(statement);
        sqlite3_bind_int64(statement, 1, id);
        sqlite3_bind_int64(statement, 2, row.hourStart);
        sqlite3_bind_int64(statement, 3, AsStored(row.received));
        sqlite3_bind_int64(statement, 4, AsStored(row.sent));
        sqlite3_bind_int(statement, 5, row.monitored ? 1 : 0);
        sqlite3_bind_int(statement, 6, static_cast<int>(origin));
        if (sqlite3_step(statement) != SQLITE_DONE) {
            return false;
        }
        changes += sqlite3_changes(db_);
    }
    return true;
}

bool CHourlyStore::Save(std::span<const HourRow> rows, std::span<const DayRecord> days) {
    if (db_ == nullptr && reopen_ && OpenAndPrepare() != SQLITE_OK) {
        Close();
    }
    if (db_ == nullptr) {
        folder_.ReportSaveFailure(kFileName, openError_ != 0 ? openError_ : EIO);
        return false;
    }
    if (rows.empty() && days.empty()) {
        return true;
    }
    int changes = 0;
    const auto write = [&]() {
        return Exec("BEGIN IMMEDIATE") && PutRows(addHour_, rows, HourOrigin::Meter, changes) &&
               PutDays(days) && Exec("COMMIT");
    };
    if (write()) {
        return true;
    }
    // Read before the rollback, which clears the system's reason.
    int code = sqlite3_extended_errcode(db_);
    int error = ErrorNumber(code);
    Exec("ROLLBACK");
    // Damage found only now: keep the file aside and save into a new one.
    if (IsDamage(code) && !rows.empty() &&
        MoveAsideAndStartNew(rows.back().hourStart) == OpenOutcome::MovedAside) {
        if (write()) {
            return true;
        }
        error = ErrorNumber(sqlite3_extended_errcode(db_));
        Exec("ROLLBACK");
    }
    lastError_ = error;
    folder_.ReportSaveFailure(kFileName, error);
    // A connection that failed to write may keep refusing after room is made: the next save
    // starts on a fresh one.
    Close();
    reopen_ = true;
    return false;
}

bool CHourlyStore::Import(std::span<const ImportBatch> batches, int* changed) {
    if (changed != nullptr) {
        *changed = 0;
    }
    if (db_ == nullptr) {
        lastError_ = openError_ != 0 ? openError_ : EIO;
        return false;
    }
    int count = 0;
    bool ok = Exec("BEGIN IMMEDIATE");
    for (std::size_t i = 0; ok && i < batches.size(); ++i) {
        ok = PutRows(importHour_, batches[i].rows, batches[i].origin, count);
    }
    if (!ok || !Exec("COMMIT")) {
        lastError_ = ErrorNumber(sqlite3_extended_errcode(db_));
        Exec("ROLLBACK");
        return false;
    }
    if (changed != nullptr) {
        *changed = count;
    }
    return true;
}

bool CHourlyStore::PutDays(std::span<const DayRecord> days) {
    // A table of its own, made where it is first needed, so that files written before it stay
    // files of this version both ways.
    if (days.empty()) {
        return true;
    }
    if (!Exec("CREATE TABLE IF NOT EXISTS saved_days(day INTEGER PRIMARY KEY,"
              " downloaded REAL NOT NULL, uploaded REAL NOT NULL);"
              "DELETE FROM saved_days")) {
        return false;
    }
    sqlite3_stmt* statement = nullptr;
    if (!Prepare(statement, "INSERT OR REPLACE INTO saved_days VALUES(?1, ?2, ?3)")) {
        return false;
    }
    bool written = true;
    for (const DayRecord& day : days) {
        sqlite3_bind_int64(statement, 1, day.year * 10000 + day.month * 100 + day.day);
        sqlite3_bind_double(statement, 2, day.downloaded);
        sqlite3_bind_double(statement, 3, day.uploaded);
        written = sqlite3_step(statement) == SQLITE_DONE;
        sqlite3_reset(statement);
        if (!written) {
            break;
        }
    }
    sqlite3_finalize(statement);
    return written;
}

std::vector<DayRecord> CHourlyStore::SavedDays() const {
    std::vector<DayRecord> days;
    if (db_ == nullptr) {
        return days;
    }
    sqlite3_stmt* statement = nullptr;
    // No such table before the first save that had days: nothing to catch up with.
    if (sqlite3_prepare_v2(db_, "SELECT day, downloaded, uploaded FROM saved_days", -1, &statement,
                           nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const std::int64_t day = sqlite3_column_int64(statement, 0);
            DayRecord record{static_cast<int>(day % 100), static_cast<int>(day / 100 % 100),
                             static_cast<int>(day / 10000)};
            record.downloaded = sqlite3_column_double(statement, 1);
            record.uploaded = sqlite3_column_double(statement, 2);
            days.push_back(record);
        }
    }
    sqlite3_finalize(statement);
    return days;
}

std::vector<InterfaceMet> CHourlyStore::Interfaces() const {
    std::vector<InterfaceMet> found;
    if (db_ == nullptr) {
        return found;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "SELECT name, (SELECT monitored FROM hours WHERE interface = id"
                           " ORDER BY hour_start DESC LIMIT 1) FROM interfaces ORDER BY name",
                           -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            found.push_back(
                {name != nullptr ? name : "", sqlite3_column_type(statement, 1) == SQLITE_NULL ||
                                                  sqlite3_column_int(statement, 1) != 0});
        }
    }
    sqlite3_finalize(statement);
    return found;
}

std::vector<std::int64_t> CHourlyStore::IdsFor(std::string_view interfaceName) const {
    std::vector<std::int64_t> ids;
    if (db_ == nullptr) {
        return ids;
    }
    const bool all = interfaceName == kAllMonitored;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(
            db_, all ? "SELECT id FROM interfaces" : "SELECT id FROM interfaces WHERE name = ?1",
            -1, &statement, nullptr) == SQLITE_OK) {
        if (!all) {
            sqlite3_bind_text(statement, 1, interfaceName.data(),
                              static_cast<int>(interfaceName.size()), SQLITE_STATIC);
        }
        while (sqlite3_step(statement) == SQLITE_ROW) {
            ids.push_back(sqlite3_column_int64(statement, 0));
        }
    }
    sqlite3_finalize(statement);
    return ids;
}

std::vector<DayTotal> CHourlyStore::DayTotals(std::string_view interfaceName,
                                              const LocalDate& first, const LocalDate& last) const {
    std::map<std::int64_t, DayTotal> days;  // by day number
    const std::int64_t from = zone_.DayStart(first);
    const std::int64_t to = zone_.DayStart(AddDays(last, 1));
    for (const std::int64_t id : IdsFor(interfaceName)) {
        CStatementReset reset(hoursOf_);
        BindHoursOf(id, from, to, interfaceName == kAllMonitored);
        // Rows come in time order, so the zone is asked once per day, not once per row.
        std::int64_t dayEnd = std::numeric_limits<std::int64_t>::min();
        DayTotal* day = nullptr;
        while (sqlite3_step(hoursOf_) == SQLITE_ROW) {
            const std::int64_t hourStart = sqlite3_column_int64(hoursOf_, 0);
            if (day == nullptr || hourStart >= dayEnd) {
                const LocalDate date = zone_.LocalAt(hourStart).date;
                dayEnd = zone_.DayStart(AddDays(date, 1));
                day = &days[DayNumber(date)];
                day->date = date;
            }
            day->received += AsBytes(sqlite3_column_int64(hoursOf_, 1));
            day->sent += AsBytes(sqlite3_column_int64(hoursOf_, 2));
        }
    }
    std::vector<DayTotal> totals;
    totals.reserve(days.size());
    for (const auto& [number, day] : days) {
        totals.push_back(day);
    }
    return totals;
}

std::vector<HourTotal> CHourlyStore::HoursOfDay(std::string_view interfaceName,
                                                const LocalDate& date) const {
    std::vector<HourTotal> hours;
    const std::int64_t from = zone_.DayStart(date);
    const std::int64_t to = zone_.DayStart(AddDays(date, 1));
    for (std::int64_t start = from; start < to; start = zone_.HourStart(start + 3600)) {
        hours.push_back({start, zone_.LocalAt(start), 0, 0});
    }
    if (hours.empty()) {
        return hours;
    }
    for (const std::int64_t id : IdsFor(interfaceName)) {
        CStatementReset reset(hoursOf_);
        BindHoursOf(id, from, to, interfaceName == kAllMonitored);
        std::size_t slot = 0;
        while (sqlite3_step(hoursOf_) == SQLITE_ROW) {
            const std::int64_t hourStart = sqlite3_column_int64(hoursOf_, 0);
            // The hour that holds the row's start: one counted under other zone rules still
            // lands in the hour of the day it belongs to.
            while (slot + 1 < hours.size() && hours[slot + 1].hourStart <= hourStart) {
                ++slot;
            }
            hours[slot].received += AsBytes(sqlite3_column_int64(hoursOf_, 1));
            hours[slot].sent += AsBytes(sqlite3_column_int64(hoursOf_, 2));
        }
    }
    return hours;
}

void CHourlyStore::BindHoursOf(std::int64_t id, std::int64_t from, std::int64_t to,
                               bool monitoredOnly) const {
    sqlite3_bind_int64(hoursOf_, 1, id);
    sqlite3_bind_int64(hoursOf_, 2, from);
    sqlite3_bind_int64(hoursOf_, 3, to);
    sqlite3_bind_int(hoursOf_, 4, monitoredOnly ? 1 : 0);
}

bool CHourlyStore::ForEachHour(const std::function<void(const HourRow&)>& visit) const {
    if (db_ == nullptr) {
        return false;
    }
    bool ok = true;
    HourRow row;
    for (const InterfaceMet& met : Interfaces()) {
        for (const std::int64_t id : IdsFor(met.name)) {
            CStatementReset reset(hoursOf_);
            BindHoursOf(id, std::numeric_limits<std::int64_t>::min(),
                        std::numeric_limits<std::int64_t>::max(), false);
            row.interfaceName = met.name;
            int code = SQLITE_ROW;
            while ((code = sqlite3_step(hoursOf_)) == SQLITE_ROW) {
                row.hourStart = sqlite3_column_int64(hoursOf_, 0);
                row.received = AsBytes(sqlite3_column_int64(hoursOf_, 1));
                row.sent = AsBytes(sqlite3_column_int64(hoursOf_, 2));
                row.monitored = sqlite3_column_int(hoursOf_, 3) != 0;
                visit(row);
            }
            ok = ok && code == SQLITE_DONE;
        }
    }
    return ok;
}
