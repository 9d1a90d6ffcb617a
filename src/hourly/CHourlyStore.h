#pragma once

#include <cerrno>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hourly/HourRow.h"
#include "persistence/CDataFolder.h"
#include "persistence/DayRecord.h"
#include "platform/LocalZone.h"

struct sqlite3;
struct sqlite3_stmt;

// An interface the store has figures of, with the monitored flag of its latest hour.
struct InterfaceMet {
    std::string name;
    bool monitored = true;
};

struct DayTotal {
    LocalDate date;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
};

// The day as the history keeps days: amounts in MB.
DayRecord AsDayRecord(const DayTotal& total);

struct HourTotal {
    std::int64_t hourStart = 0;  // UTC seconds
    LocalDateTime local;         // the hour as the user's clock shows it
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
};

// Where figures of an hour came from. The meter's own count of an hour always wins over an
// imported one; imported figures fill hours the meter did not count.
enum class HourOrigin : int {
    Meter = 0,
    ImportedHour = 1,
    ImportedDay = 2,  // a whole day's total, kept at the day's first hour
};

// The traffic of every interface met, per local hour, in "history.sqlite" in the data folder: one
// row per interface and hour (UTC start, bytes received and sent, monitored flag). Rows are added
// in one transaction per save, so a kill leaves the file as at the last save. Days are reckoned in
// the local zone when asked, so a daylight-saving day has 23 or 25 hours.
class CHourlyStore {
public:
    static constexpr const char* kFileName = "history.sqlite";
    static constexpr int kSchemaVersion = 1;
    // The interface choice that sums every monitored interface.
    static constexpr std::string_view kAllMonitored = "";
    // A date before any hour the store can hold, to ask for every day.
    static constexpr LocalDate kBeginning{1, 1, 1970};

    enum class OpenOutcome {
        Opened,      // the existing file
        Created,     // a new file, none was there
        MovedAside,  // the file could not be read; it was kept under KeptAs(), a new one started
        Failed,      // no store this run (OpenError() says why); nothing was moved
    };

    // The folder (with its save notice) and the zone must outlive the store.
    CHourlyStore(const CDataFolder& folder, const LocalZone& zone);
    ~CHourlyStore();
    CHourlyStore(const CHourlyStore&) = delete;
    CHourlyStore& operator=(const CHourlyStore&) = delete;

    // Opens the file, or creates it (mode 0600, WAL). A file that is not a database of ours is
    // moved aside as "history.sqlite.bad-<local date of nowUtc>" (never over an earlier
    // keepsake) and a new one started. A file written by a newer version is left alone: Failed.
    // A database found damaged later, by a save, is moved aside the same way and the save made
    // in a new one; Open's outcome then reads MovedAside.
    OpenOutcome Open(std::int64_t nowUtc);
    // Opens the file for reading alone: nothing is made, changed or moved. Opened (not open when
    // there is no file, or one with no tables yet: no figures), or Failed: the file is not a
    // database of ours (IsDamaged()), a newer program's (IsNewer()), or cannot be read.
    OpenOutcome OpenToRead();
    OpenOutcome Outcome() const { return outcome_; }
    bool IsOpen() const { return db_ != nullptr; }
    const std::string& KeptAs() const { return keptAs_; }
    int OpenError() const { return openError_; }
    // Open failed because the file was written by a newer version (it is left as it is).
    bool IsNewer() const { return outcome_ == OpenOutcome::Failed && openError_ == ENOTSUP; }
    // OpenToRead failed because the file is not a database of ours.
    bool IsDamaged() const { return outcome_ == OpenOutcome::Failed && openError_ == EBADMSG; }
    std::string FilePath() const { return folder_.DataFilePath(kFileName); }

    // Adds the meter's rows to the hours they belong to, all in one transaction. False when
    // nothing was written (a full disk, a closed store); the folder's save notice has been told.
    // `days` are the day history's figures of the days these hours count on, as it is about to
    // save them; they replace those of the previous save (see SavedDays).
    bool Save(std::span<const HourRow> rows, std::span<const DayRecord> days = {});
    // The day figures of the last save: the day history catches up with them when a kill came
    // between this save and its own.
    std::vector<DayRecord> SavedDays() const;

    // Puts imported figures in, all batches in one transaction: each hour the meter has not counted
    // gets them; an hour imported before is replaced, so importing the same figures again changes
    // nothing. `changed` receives how many hours were added or changed.
    struct ImportBatch {
        std::span<const HourRow> rows;
        HourOrigin origin = HourOrigin::ImportedHour;
    };
    bool Import(std::span<const ImportBatch> batches, int* changed = nullptr);
    // The system's reason (errno) of the last failed Save or Import.
    int LastError() const { return lastError_; }

    // Every interface with figures, by name.
    std::vector<InterfaceMet> Interfaces() const;
    // The totals of each local day from `first` to `last` that has any row, in date order, for
    // one interface or kAllMonitored.
    std::vector<DayTotal> DayTotals(std::string_view interfaceName, const LocalDate& first,
                                    const LocalDate& last) const;
    // Every hour of local date `date` (23, 24 or 25), with zeros where nothing was counted.
    std::vector<HourTotal> HoursOfDay(std::string_view interfaceName, const LocalDate& date) const;
    // Every row, by interface name and then time. False when the store could not be read.
    bool ForEachHour(const std::function<void(const HourRow&)>& visit) const;

private:
    // Opens the file at FilePath() and readies its schema; a SQLite result code on failure.
    int OpenAndPrepare();
    int PrepareSchema();
    // Readies the statements; a SQLite result code on failure (SQLITE_NOTADB: not our tables).
    int PrepareStatements();
    // Keeps the unreadable file aside and starts a new one.
    OpenOutcome MoveAsideAndStartNew(std::int64_t nowUtc);
    bool Prepare(sqlite3_stmt*& statement, const char* sql);
    void Close();
    int ErrorNumber(int sqliteCode) const;
    // The interface's id, created when missing. Within a transaction.
    bool InterfaceId(std::string_view name, std::int64_t& id);
    // Binds and runs `statement` for each row, within the caller's transaction; `changes` grows
    // by the rows it changed.
    // Replaces the day figures of the previous save, within the caller's transaction.
    bool PutDays(std::span<const DayRecord> days);
    bool PutRows(sqlite3_stmt* statement, std::span<const HourRow> rows, HourOrigin origin,
                 int& changes);
    // The interfaces' ids for a choice: one, or all.
    std::vector<std::int64_t> IdsFor(std::string_view interfaceName) const;
    // Readies hoursOf_ for one interface's rows in [from, to).
    void BindHoursOf(std::int64_t id, std::int64_t from, std::int64_t to, bool monitoredOnly) const;
    bool Exec(const char* sql);
    // Runs a statement that answers one row; `value` receives its first column as a number.
    int QueryNumber(const char* sql, int& value);

    CDataFolder folder_;
    const LocalZone& zone_;
    sqlite3* db_ = nullptr;
    std::string keptAs_;
    int openError_ = 0;
    OpenOutcome outcome_ = OpenOutcome::Failed;
    int lastError_ = 0;
    bool reopen_ = false;  // closed after a failed save, opened again by the next

    sqlite3_stmt* findInterface_ = nullptr;
    sqlite3_stmt* addInterface_ = nullptr;
    sqlite3_stmt* addHour_ = nullptr;
    sqlite3_stmt* importHour_ = nullptr;
    sqlite3_stmt* hoursOf_ = nullptr;
};
