// Starting another program without waiting for it; tests put a recorder in its place.
#pragma once

#include <QString>
#include <QStringList>

namespace quillon {

class ProcessStarter {
  public:
    virtual ~ProcessStarter() = default;
    // Starts program with arguments, each handed over as it is. True when it started.
    virtual bool start(const QString& program, const QStringList& arguments,
                       const QString& workingDirectory) = 0;
};

// Starts detached through QProcess: no shell, so blanks or shell characters in a
// path are part of the path and cannot run anything else.
class DetachedProcessStarter final : public ProcessStarter {
  public:
    bool start(const QString& program, const QStringList& arguments,
               const QString& workingDirectory) override;
};

}  // namespace quillon
