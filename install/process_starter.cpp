#include "process_starter.h"

#include <QProcess>

namespace quillon {

bool DetachedProcessStarter::start(const QString& program, const QStringList& arguments,
                                   const QString& workingDirectory) {
    return QProcess::startDetached(program, arguments, workingDirectory);
}

}  // namespace quillon
