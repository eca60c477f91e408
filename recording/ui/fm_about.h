#pragma once
// The "About" box: the main window's caption, the version and the program icon.

#include <QDialog>
#include <QIcon>

namespace quillon {

class FmAbout final : public QDialog {
  public:
    FmAbout(QWidget* parent, const QString& caption, const QString& version, const QIcon& icon);
};

}  // namespace quillon
