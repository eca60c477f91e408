#include "show_port_error.h"

#include "serial_library.h"

namespace quillon {

QString PortErrorText(int code) {
    switch (code) {
        case SIO_BADPORT:
            return QStringLiteral("Port number is invalid or port is not opened in advance");
        case SIO_BADPARM_BOARD:
        case SIO_BOARDNOTSUPPORT:
            return QStringLiteral("The board does not support this function");
        case SIO_NODATA:
            return QStringLiteral("No data to read");
        case SIO_OPEN_FAIL:
            return QStringLiteral("No such port or port is occupied by other program");
        case SIO_RTS_BY_HW:
            return QStringLiteral("RTS can't be set because H/W Flowctrl");
        case SIO_BADPARM:
            return QStringLiteral("Bad parameter");
        case SIO_WIN32FAIL:
            return {};
        case SIO_ABORTWRITE:
            return QStringLiteral("Write has blocked, and user abort write");
        case SIO_WRITETIMEOUT:
            return QStringLiteral("Write timeout has happened");
        default:
            return QStringLiteral("Unknown Error:") + QString::number(code);
    }
}

void ShowPortError(MessageBoxes& boxes, const QString& functionName, int code) {
    if (code == SIO_WIN32FAIL) return;
    boxes.show(PortErrorText(code), functionName, MsgButtons::Ok, MsgIcon::Exclamation);
}

}  // namespace quillon
