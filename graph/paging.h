#pragma once
// Page arithmetic shared by the scaling and the plot: a page holds 100 * pageScale
// records, page p holds records (p - 1) * perPage + 1 .. p * perPage.

#include <QString>
#include <QtGlobal>

namespace quillon {

// Records on one page; at least 1 whatever the page scale holds.
int RecordsPerPage(float pageScale);

// The page number in the page box, the way its text is read (leading number, truncated
// toward zero). Kept far inside the int range so page arithmetic cannot overflow.
qint64 PageNumber(const QString& pageBoxText);

// First record of page p (may be 0 or negative for p < 1).
qint64 FirstRecordOfPage(qint64 page, int perPage);

// Page of record n: n / perPage when that is whole, else the next page up.
qint64 PageOfRecord(qint64 n, int perPage);

// Highest page number offered for n records: Fix(n / perPage) + 1.
qint64 LastPage(qint64 records, int perPage);

}  // namespace quillon
