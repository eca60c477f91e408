#pragma once
// A private home (settings, journals, reports) for programs started by end-to-end tests.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "report_opener.h"
#include "settings_store.h"

namespace quillon::testing {

struct Home {
    explicit Home(int autoSave, int intervalMs = 1000) {
        const QString keys =
            "autoScan=0;comp=0;sav_Auto=%1;Sav_Drv=%2;T1_beep=0;limit_selet=0;limit_txt_0=0;"
            "limit_txt_1=0;Graph_Title=0;Graph_txt=Night run;Graph_range=0;OL_stop=0;"
            "IntTime=%3;Fdt_0=yyyy/mm/dd;Fdt_1=HH:nn:ss;Mav=111";
        SettingsStore store(config() + "/regtest.ini");
        for (const QString& kv : keys.arg(autoSave).arg(reports()).arg(intervalMs).split(';'))
            store.WriteSetting(kv.section('=', 0, 0), kv.section('=', 1));
    }
    QString path() const { return dir.path(); }
    QString config() const { return path() + "/config"; }
    QString journals() const { return path() + "/state/quillon/"; }
    QString reports() const { return path() + "/reports/"; }
    QStringList journalFiles() const { return QDir(journals()).entryList({"*.journal"}); }
    QStringList recovered() const { return QDir(reports()).entryList({"*_recovered.csv"}); }
    // Whole record lines in the one journal there is; -1 without exactly one.
    int journalRecords() const {
        QFile f(journals() + journalFiles().value(0));
        if (journalFiles().size() != 1 || !f.open(QIODevice::ReadOnly)) return -1;
        return int(f.readAll().count("\nrecord\t"));
    }
    QTemporaryDir dir;
};

// A program built beside the test program, run in `home` on `ports` with no display.
struct Child {
    Child(const Home& home, const QString& ports, const QString& name, const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(display);
        if (name == "quillon") env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.config());
        env.insert("XDG_STATE_HOME", home.path() + "/state");
        env.insert("QUILLON_PORTS", ports);
        process.setProcessEnvironment(env);
        process.start(QCoreApplication::applicationDirPath() + "/" + name, args);
    }
    ~Child() { process.kill(); }  // nothing when it has ended; QProcess waits
    bool ends(int ms) {
        const bool ended = process.state() == QProcess::NotRunning || process.waitForFinished(ms);
        out += QString::fromUtf8(process.readAllStandardOutput());
        err += QString::fromUtf8(process.readAllStandardError());
        return ended && process.exitStatus() == QProcess::NormalExit;
    }
    // Never pid 0: that would signal the test's own process group.
    void kill(int signal) {
        if (process.processId() > 0) ::kill(pid_t(process.processId()), signal);
    }
    QProcess process;
    QString out, err;
};

// A report as the window opens it.
inline LoadResult OpenReport(const QString& path, Session& into) {
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    return ReportOpener(into, boxes, dialogs).LoadReport(path);
}

}  // namespace quillon::testing
