#include "statistics/CShownMonth.h"

void CShownMonth::Built(const LocalDate& today) {
    builtFor_ = today;
    shown_ = {today.month, today.year};
}

CShownMonth::Refresh CShownMonth::OnUpdate(const LocalDate& current) const {
    if (current != builtFor_) {
        return Refresh::Rebuild;
    }
    return shown_ == MonthKey{current.month, current.year} ? Refresh::Today : Refresh::Keep;
}
