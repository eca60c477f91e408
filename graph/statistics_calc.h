#pragma once
// Running MAX, MIN and AVG of a recording, the REL reference, and the vertical scale of
// the graph page (from the page's own MAX and MIN in Auto Range).
//
// Works on the shared session only: values are read as text from the record table and
// the current reading, and results are stored as text in session.stats (and the scale in
// session.graph.valuePerGridUnit and session.settings.graphBottom / graphTop). Holds no state
// itself.

#include <optional>

#include "session.h"

namespace quillon {

class StatisticsCalc {
  public:
    explicit StatisticsCalc(Session& session) : s_(session) {}

    // After each written record, in this order (the record is the table's last one).
    void UpdateMaxMin();
    void UpdateAverage();

    // Page MAX/MIN (stats.pageMax / pageMin) of the numbers of the page in the page box,
    // in the unit of the recording's latest range.
    void ComputePageMaxMin();
    // valuePerGridUnit, graphBottom and graphTop for the page in the page box, by
    // settings.graphRangeMode.
    void ComputeGraphScale();

    // The "REL" button: takes the latest record as reference, or drops the reference.
    void toggleRelReference();

    // The decimal index kept with the recording (rec.finestDec), when it is 0..4.
    static std::optional<int> DecimalIndexOf(const QString& text);

  private:
    // The new record's unit change: the unit the running values were held in and the
    // unit of the new record, when a range change this step changed the unit text.
    struct UnitChange {
        QString from, to;
    };
    std::optional<UnitChange> PendingUnitChange() const;
    void ConvertHeld(QString& text, const UnitChange& change) const;
    void FillShownRow(std::array<QString, 3>& row, const QString& recordText) const;
    int CurrentPage() const;

    Session& s_;
};

}  // namespace quillon
