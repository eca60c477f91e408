// Meter tables, limits and the port error messages.
#include <gtest/gtest.h>

#include "meter_tables.h"
#include "show_port_error.h"

namespace quillon {
namespace {

const QString kOhm = QStringLiteral("\u03A9");

TEST(MeterTables, NamesUnitsAndDecimals) {
    EXPECT_EQ(FunctionTable(0), "OFF");
    EXPECT_EQ(CouplingTable(0), "");
    EXPECT_EQ(FunctionTable(11), "ACV/DCV");
    EXPECT_EQ(CouplingTable(11), "AC+DC");
    EXPECT_EQ(FunctionTable(10), "");
    EXPECT_EQ(UnitTable(4, 0), kOhm);
    EXPECT_EQ(UnitTable(4, 1), "K" + kOhm);
    EXPECT_EQ(DecimalTable(4, 1), "0");
    EXPECT_EQ(UnitTable(4, 5), "M" + kOhm);
    EXPECT_EQ(UnitTable(9, 1), QStringLiteral("\u00B0C"));
    EXPECT_EQ(UnitTable(20, 1), QStringLiteral("\u00B0F"));
    EXPECT_EQ(UnitTable(8, 0), "");  // amperes only in range 1
    EXPECT_EQ(UnitTable(18, 1), "A");
    EXPECT_EQ(DecimalTable(6, 6), "1");
    EXPECT_EQ(UnitTable(6, 5), "MHz");
}

TEST(MeterTables, OutsideTheTablesIsEmpty) {
    EXPECT_EQ(FunctionTable(-1), "");
    EXPECT_EQ(FunctionTable(34), "");
    EXPECT_EQ(CouplingTable(255), "");
    EXPECT_EQ(UnitTable(2, 8), "");
    EXPECT_EQ(DecimalTable(2, -1), "");
    EXPECT_EQ(DecimalTable(40, 0), "");
    EXPECT_EQ(ResolutionTable(5), 0.0f);
    EXPECT_EQ(ResolutionTable(0), 0.0001f);
    EXPECT_EQ(ResolutionTable(4), 1.0f);
}

TEST(OverloadLimits, UnlistedRangeKeepsPreviousNoLimitCodesGiveZero) {
    OverloadLimits limits;
    limits.set_OL(2, 3);
    limits.set_OL(1, 5);
    EXPECT_EQ(limits.OLHighSet, 1010.0f);
    EXPECT_EQ(limits.OLLowSet, -1010.0f);
    limits.set_OL(8, 0);
    EXPECT_EQ(limits.OLHighSet, 1010.0f);
    limits.set_OL(2, 9);
    EXPECT_EQ(limits.OLHighSet, 1010.0f);
    for (int code : {0, 10, 21, 23, 26, 31, 33, 200, -4}) {
        limits.set_OL(2, 3);
        limits.set_OL(code, 0);
        EXPECT_EQ(limits.OLHighSet, 0.0f) << code;
        EXPECT_EQ(limits.OLLowSet, 0.0f) << code;
    }
    EXPECT_EQ(&FmData(), &FmData());
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
        EXPECT_EQ(boxes.shown[0].text, row.text);
        EXPECT_EQ(boxes.shown[0].title, "sio_DTR");
        EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Exclamation);
    }
    ScriptedMessageBoxes silent;
    ShowPortError(silent, "sio_ioctl", -8);
    EXPECT_TRUE(silent.shown.isEmpty());
}

}  // namespace
}  // namespace quillon
