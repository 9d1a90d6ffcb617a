#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "core/CObservable.h"
#include "persistence/CDataFolder.h"
#include "persistence/CFoundFile.h"
#include "persistence/HistoryFile.h"
#include "platform/LocalClock.h"
#include "platform/MsClock.h"

// Year -> month -> day -> record, all ascending. The records belong to the history and live as
// long as it does; a snapshot refers to the same records.
using HistoryDayMap = std::map<int, const DayRecord*>;
using HistoryMonthMap = std::map<int, HistoryDayMap>;
using HistoryTable = std::map<int, HistoryMonthMap>;

// The number of (year, month) pairs in the table.
int CountMonths(const HistoryTable& table);

// A file saved at the same moments as "stats.dat": the periodic save and the last one.
class SaveCompanion {
public:
    virtual ~SaveCompanion() = default;
    // Saves its own figures together with `days`, the days counted on since the last save as
    // "stats.dat" is about to hold them: a kill before that file is written leaves them with the
    // companion, which hands them back at the next start (CatchUpWith).
    virtual void SaveWithHistory(std::span<const DayRecord> days) = 0;
};

// Turns the sampler's running totals into per-day amounts, keeps every day seen in "stats.dat",
// and tells its observers after every update.
class CTrafficHistory : public CObservable {
public:
    static constexpr const char* kFileName = "stats.dat";
    static constexpr std::uint32_t kSavePeriodMs = 300000;

    // Loads "stats.dat" from the data folder and finds or makes today's record. Lines that are
    // not a day's record (not five numbers, an impossible date, an amount that is negative, not
    // finite or above kMaxDayAmount, see ParseHistory) are skipped and every other line is kept;
    // the file as found is then kept under a keepsake name by the first save. The clocks must
    // outlive the history.
    CTrafficHistory(const CDataFolder& folder, const MsClock& msClock,
                    const LocalClock& localClock);

    // Takes the sampler's running totals (MB since the program started): counts their growth on
    // today's record, saves when due, then notifies the observers.
    void Update(double download, double upload);

    // Rewrites "stats.dat" atomically, creating the data folder if needed. False when the file
    // could not be written; the previous file is then intact and the folder's save notice has
    // been told why.
    bool Save();
    // Saved just before "stats.dat" by every Save (null for none). It must outlive the history or
    // be replaced first.
    void SetSaveCompanion(SaveCompanion* companion) { companion_ = companion; }
    // Takes a day's figures that a companion saved when "stats.dat" could not follow (the program
    // was killed between the two): a day that holds less is raised to them, a missing one added.
    // Observers are not told; a start-up calls this before any sample.
    void CatchUpWith(const DayRecord& saved);

    double SessionDownload() const { return sessionDownload_; }
    double SessionUpload() const { return sessionUpload_; }
    // Everything recorded before this run plus this session.
    double SinceDownload() const { return storedDownload_ + sessionDownload_; }
    double SinceUpload() const { return storedUpload_ + sessionUpload_; }
    LocalDate SinceDate() const { return sinceDate_; }
    const DayRecord& CurrentDay() const { return *currentDay_; }
    // The record of `date`, or null when that day has none.
    const DayRecord* DayOf(const LocalDate& date) const { return Find(date); }

    // A copy of the table that refers to the history's own records.
    HistoryTable Snapshot() const { return table_; }
    // The number of (year, month) pairs in the table.
    int MonthCount() const;

    const std::string& FilePath() const { return path_; }

    // Traffic an observer has already counted, for observers that take their own differences.
    // The history only starts them at 0.0; nothing reads them yet.
    double seenDownload = 0.0;
    double seenUpload = 0.0;

private:
    void Load();
    bool SaveFile();
    DayRecord* Find(const LocalDate& date) const;
    // Adds a record for a date not yet in the table.
    DayRecord* Insert(const DayRecord& record);
    void MoveToDay(const LocalDate& today);

    CDataFolder folder_;
    const MsClock& msClock_;
    const LocalClock& localClock_;
    std::string path_;

    std::deque<DayRecord> records_;  // a deque keeps addresses stable as days are added
    HistoryTable table_;
    DayRecord* currentDay_ = nullptr;
    std::vector<const DayRecord*> unsaved_;  // the days counted on since the last save

    double sessionDownload_ = 0.0;
    double sessionUpload_ = 0.0;
    double storedDownload_ = 0.0;
    double storedUpload_ = 0.0;
    LocalDate sinceDate_;
    std::uint32_t nextSaveTime_ = 0;

    CFoundFile found_;
    SaveCompanion* companion_ = nullptr;
};
