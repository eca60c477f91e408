#pragma once
// A private home for QUILLON processes in end-to-end tests: settings (a known set of keys),
// recording journals and reports in a temporary folder, and the environment that points
// a program started from the test at them.

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "settings_store.h"

namespace quillon::testing {

class Home {
  public:
    explicit Home(int autoSave) {
        const QString keys =
            "autoScan=0;comp=0;sav_Auto=%1;Sav_Drv=%2;T1_beep=0;limit_selet=0;limit_txt_0=0;"
            "limit_txt_1=0;Graph_Title=0;Graph_txt=Night run;Graph_range=0;OL_stop=0;"
            "IntTime=1000;Fdt_0=yyyy/mm/dd;Fdt_1=HH:nn:ss;Mav=111";
        for (const QString& kv : keys.arg(autoSave).arg(reports()).split(';'))
            set(kv.section('=', 0, 0), kv.section('=', 1));
    }
    void set(const QString& key, const QString& value) {
        SettingsStore(config() + "/regtest.ini").WriteSetting(key, value);
    }
    QString config() const { return dir_.path() + "/config"; }
    QString journals() const { return dir_.path() + "/state/quillon"; }
    QString reports() const { return dir_.path() + "/reports/"; }
    QString path() const { return dir_.path(); }

    // This home's settings and journals, the ports `ports`, and no display at all.
    QProcessEnvironment environment(const QString& ports) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(display);
        env.insert("HOME", path());
        env.insert("XDG_CONFIG_HOME", config());
        env.insert("XDG_STATE_HOME", path() + "/state");
        env.insert("QUILLON_PORTS", ports);
        return env;
    }

    QStringList journalFiles() const {
        return QDir(journals()).entryList({"*.journal"}, QDir::Files);
    }
    // Whole record lines in the one journal there is.
    int journalRecords() const {
        const QStringList files = journalFiles();
        if (files.size() != 1) return -1;
        QFile f(journals() + "/" + files.first());
        if (!f.open(QIODevice::ReadOnly)) return -1;
        return int(f.readAll().count("\nrecord\t"));
    }

  private:
    QTemporaryDir dir_;
};

}  // namespace quillon::testing
