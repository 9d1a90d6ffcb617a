#include "persistence/CTrafficHistory.h"

#include "persistence/DataFile.h"

CTrafficHistory::CTrafficHistory(const CDataFolder& folder, const MsClock& msClock,
                                 const LocalClock& localClock)
    : folder_(folder),
      msClock_(msClock),
      localClock_(localClock),
      path_(folder.DataFilePath(kFileName)) {
    const LocalDate today = localClock_.Today();
    Load();
    // Since the earliest recorded day: the same date the next run reads, as the file is saved in
    // date order. An empty or missing file starts today.
    if (table_.empty()) {
        sinceDate_ = today;
    } else {
        const DayRecord& first = *table_.begin()->second.begin()->second.begin()->second;
        sinceDate_ = {first.day, first.month, first.year};
    }
    currentDay_ = Find(today);
    if (currentDay_ == nullptr) {
        currentDay_ = Insert(DayRecord{today.day, today.month, today.year});
    }
    nextSaveTime_ = msClock_.NowMs() + kSavePeriodMs;
}

void CTrafficHistory::Load() {
    if (!FileExists(path_)) {
        return;
    }
    std::string text;
    int error = 0;
    if (!ReadTextFile(path_, text, &error)) {
        found_.MarkUnreadable(error);
        return;
    }
    HistoryFileContents contents = ParseHistory(text);
    bool damaged = contents.damaged;
    for (const DayRecord& record : contents.days) {
        // The first record of a date wins; a repeated one still counts in the totals of this run.
        if (Find({record.day, record.month, record.year}) == nullptr) {
            Insert(record);
        } else {
            damaged = true;
        }
        storedDownload_ += record.downloaded;
        storedUpload_ += record.uploaded;
    }
    if (damaged) {
        found_.MarkDamaged(std::move(text));
    }
}

DayRecord* CTrafficHistory::Find(const LocalDate& date) const {
    const auto year = table_.find(date.year);
    if (year == table_.end()) {
        return nullptr;
    }
    const auto month = year->second.find(date.month);
    if (month == year->second.end()) {
        return nullptr;
    }
    const auto day = month->second.find(date.day);
    if (day == month->second.end()) {
        return nullptr;
    }
    // The table hands out read-only records; the history owns them and may change them.
    return const_cast<DayRecord*>(day->second);
}

DayRecord* CTrafficHistory::Insert(const DayRecord& record) {
    DayRecord& kept = records_.emplace_back(record);
    table_[record.year][record.month][record.day] = &kept;
    return &kept;
}

void CTrafficHistory::MoveToDay(const LocalDate& today) {
    // A date that already has a record (the clock was set back, or forward again) continues on
    // that record, so no day is ever split in two or lost.
    DayRecord* next = Find(today);
    if (next == nullptr) {
        next = Insert(DayRecord{today.day, today.month, today.year});
    }
    // The traffic since the last update before the change counts on the new day.
    next->lastDownload = currentDay_->lastDownload;
    next->lastUpload = currentDay_->lastUpload;
    currentDay_ = next;
}

void CTrafficHistory::Update(double download, double upload) {
    const LocalDate today = localClock_.Today();
    if (today.day != currentDay_->day || today.month != currentDay_->month ||
        today.year != currentDay_->year) {
        MoveToDay(today);
    }
    DayRecord& day = *currentDay_;
    if (unsaved_.empty() || unsaved_.back() != &day) {
        unsaved_.push_back(&day);
    }
    day.downloaded += download - day.lastDownload;
    day.lastDownload = download;
    day.uploaded += upload - day.lastUpload;
    day.lastUpload = upload;
    sessionDownload_ = download;
    sessionUpload_ = upload;

    if (MsPassed(msClock_.NowMs(), nextSaveTime_)) {
        Save();  // a failed save is retried at the next period
        nextSaveTime_ = msClock_.NowMs() + kSavePeriodMs;
    }
    NotifyAll();
}

bool CTrafficHistory::Save() {
    // The companion first: killed between the two, the figures it holds reach this file at the
    // next start; the other way round they would be lost to it.
    if (companion_ != nullptr) {
        std::vector<DayRecord> days;
        days.reserve(unsaved_.size());
        for (const DayRecord* day : unsaved_) {
            days.push_back(*day);
        }
        companion_->SaveWithHistory(days);
    }
    unsaved_.clear();
    return SaveFile();
}

void CTrafficHistory::CatchUpWith(const DayRecord& saved) {
    // Below a unit of the file's last decimal the two are the same figure, written apart.
    constexpr double kSameFigure = 1e-6;
    DayRecord checked = saved;
    if (!IsPlausibleDay(checked)) {
        return;
    }
    DayRecord* day = Find({saved.day, saved.month, saved.year});
    if (day == nullptr) {
        day = Insert(DayRecord{saved.day, saved.month, saved.year});
    }
    if (saved.downloaded > day->downloaded + kSameFigure) {
        storedDownload_ += saved.downloaded - day->downloaded;
        day->downloaded = saved.downloaded;
    }
    if (saved.uploaded > day->uploaded + kSameFigure) {
        storedUpload_ += saved.uploaded - day->uploaded;
        day->uploaded = saved.uploaded;
    }
}

bool CTrafficHistory::SaveFile() {
    if (!found_.ReadyToWrite(folder_, kFileName)) {
        return false;
    }
    std::string text;
    text.reserve(16 + records_.size() * 48);
    text += kFileHeader;
    text += '\n';
    for (const auto& [year, months] : table_) {
        for (const auto& [month, days] : months) {
            for (const auto& [day, record] : days) {
                AppendHistoryLine(text, *record);
            }
        }
    }
    return folder_.WriteDataFile(kFileName, text);
}

int CountMonths(const HistoryTable& table) {
    int count = 0;
    for (const auto& [year, months] : table) {
        count += static_cast<int>(months.size());
    }
    return count;
}

int CTrafficHistory::MonthCount() const {
    return CountMonths(table_);
}
