// Meter tables, limits and the port error messages.
#include <gtest/gtest.h>

#include <QCryptographicHash>

#include "meter_tables.h"
#include "show_port_error.h"

namespace quillon {
namespace {

TEST(MeterTables, NamesUnitsAndDecimalsAndEmptyOutsideTheTables) {
    const QString ohm = QStringLiteral("\u03A9");
    const QStringList got = {FunctionTable(0),  CouplingTable(0),    FunctionTable(11),
                             CouplingTable(11), FunctionTable(10),   UnitTable(4, 0),
                             UnitTable(4, 1),   DecimalTable(4, 1),  UnitTable(4, 5),
                             UnitTable(9, 1),   UnitTable(20, 1),    UnitTable(8, 0),
                             UnitTable(18, 1),  DecimalTable(6, 6),  UnitTable(6, 5),
                             FunctionTable(-1), FunctionTable(34),   CouplingTable(255),
                             UnitTable(2, 8),   DecimalTable(2, -1), DecimalTable(40, 0)};
    EXPECT_EQ(got, QStringList({"OFF", "",        "ACV/DCV", "AC+DC",   "", ohm, "K" + ohm,
                                "0",   "M" + ohm, "\u00B0C", "\u00B0F", "", "A", "1",
                                "MHz", "",        "",        "",        "", "",  ""}));
}

// A unit, decimal index, resolution or limit changed by accident fails here.
TEST(MeterTables, EveryRowKeepsItsValues) {
    QString rows;
    for (int code = -1; code < 40; ++code) {
        rows += FunctionTable(code) + CouplingTable(code) + QString::number(ResolutionTable(code));
        for (int range = -1; range < 10; ++range) {
            OverloadLimits limits;
            limits.selectRange(code, range);
            rows += "|" + UnitTable(code, range) + DecimalTable(code, range) +
                    QString::asprintf(" %g %g", limits.high, limits.low);
        }
    }
    const QByteArray sha1 = QCryptographicHash::hash(rows.toUtf8(), QCryptographicHash::Sha1);
    EXPECT_EQ(sha1.toHex().toStdString(), "e258a13c94aeab7f6b631b46082f2e86f59cf292");
}

TEST(OverloadLimits, UnlistedRangeKeepsPreviousNoLimitCodesGiveZero) {
    OverloadLimits limits;
    limits.selectRange(2, 3);
    limits.selectRange(1, 5);
    EXPECT_EQ(std::make_pair(limits.high, limits.low), std::make_pair(1010.0f, -1010.0f));
    limits.selectRange(8, 0);
    limits.selectRange(2, 9);
    EXPECT_EQ(limits.high, 1010.0f);
    for (int code : {0, 10, 21, 23, 26, 31, 33, 200, -4}) {
        limits.selectRange(2, 3);
        limits.selectRange(code, 0);
        EXPECT_EQ(std::make_pair(limits.high, limits.low), std::make_pair(0.0f, 0.0f)) << code;
    }
}

TEST(ShowPortError, MessagesByCode) {
    const struct {
        int code;
        const char* text;
    } rows[] = {
        {-1, "Port number is invalid or port is not opened in advance"},
        {-2, "The board does not support this function"},
        {-9, "The board does not support this function"},
        {-5, "No such port or port is occupied by other program"},
        {-12, "Write timeout has happened"},
        {-3, "Unknown Error:-3"},
        {-100, "Unknown Error:-100"},
    };
    for (const auto& row : rows) {
        ScriptedMessageBoxes boxes;
        ShowPortError(boxes, "sio_DTR", row.code);
        ASSERT_EQ(boxes.shown.size(), 1);
        const auto& box = boxes.shown[0];
        EXPECT_EQ(box.title + ": " + box.text, QString("sio_DTR: ") + row.text);
        EXPECT_TRUE(box.buttons == MsgButtons::Ok && box.icon == MsgIcon::Exclamation);
    }
    ScriptedMessageBoxes silent;
    ShowPortError(silent, "sio_ioctl", -8);
    EXPECT_TRUE(silent.shown.isEmpty());
}

}  // namespace
}  // namespace quillon
