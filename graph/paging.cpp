#include "paging.h"

#include <algorithm>
#include <cmath>

#include "number_format.h"

namespace quillon {

namespace {
constexpr double kPageLimit = 1e9;
}

int RecordsPerPage(float pageScale) {
    const double n = std::round(100.0 * double(pageScale));
    if (!(n >= 1)) return 1;
    return int(std::min(n, 1e6));
}

qint64 PageNumber(const QString& pageBoxText) {
    const double p = Fix(LeadingNumber(pageBoxText));
    if (!std::isfinite(p)) return p > 0 ? qint64(kPageLimit) : -qint64(kPageLimit);
    return qint64(std::clamp(p, -kPageLimit, kPageLimit));
}

qint64 FirstRecordOfPage(qint64 page, int perPage) { return (page - 1) * perPage + 1; }

qint64 PageOfRecord(qint64 n, int perPage) {
    return n % perPage == 0 ? n / perPage : n / perPage + 1;
}

qint64 LastPage(qint64 records, int perPage) { return records / perPage + 1; }

}  // namespace quillon
