#include "statistics/CInterfaceDays.h"

void CInterfaceDays::Load(const CHourlyStore& store, std::string_view name,
                          const LocalDate& today) {
    records_.clear();
    table_.clear();
    downloaded_ = 0.0;
    uploaded_ = 0.0;
    first_ = today;
    for (const DayTotal& total : store.DayTotals(name, CHourlyStore::kBeginning, today)) {
        const DayRecord& record = records_.emplace_back(AsDayRecord(total));
        downloaded_ += record.downloaded;
        uploaded_ += record.uploaded;
        table_[record.year][record.month][record.day] = &record;
    }
    if (!records_.empty()) {
        const DayRecord& oldest = records_.front();
        first_ = {oldest.day, oldest.month, oldest.year};
    }
}
