// A process starter that only notes what would have been started.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "process_starter.h"

namespace quillon {

struct StartedProgram {
    QString program;
    QStringList arguments;
    QString workingDirectory;
};

class RecordingStarter final : public ProcessStarter {
  public:
    bool start(const QString& program, const QStringList& arguments,
               const QString& workingDirectory) override {
        started.push_back({program, arguments, workingDirectory});
        return true;
    }
    std::vector<StartedProgram> started;
};

}  // namespace quillon
