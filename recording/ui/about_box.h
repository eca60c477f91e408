#pragma once
// The "About" box: the main window's caption, the version and the program icon.

#include <QDialog>
#include <QIcon>

namespace quillon {

class AboutBox final : public QDialog {
  public:
    AboutBox(QWidget* parent, const QString& caption, const QString& version, const QIcon& icon);
};

}  // namespace quillon
