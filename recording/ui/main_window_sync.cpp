// Showing the session on the window, and the proportional re-layout.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTime>
#include <QTimer>

#include "date_time_format.h"
#include "main_window.h"
#include "picture_boxes.h"
#include "record_table_view.h"
#include "status_field.h"
#include "window_state.h"

namespace quillon {

namespace {

void SetText(QLabel* l, const QString& text) {
    if (l && l->text() != text) l->setText(text);
}

// The readout's ink (as built), and the ink of a value that is no longer live.
const QColor kLiveInk(255, 255, 255);
const QColor kStaleInk(120, 175, 175);

void SetInk(QWidget* w, const QColor& c) {
    if (w->palette().color(QPalette::WindowText) == c) return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, c);
    w->setPalette(pal);
}

void SetBack(QWidget* w, const QColor& c) {
    if (w->palette().color(QPalette::Window) == c) return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::Button, c);
    w->setPalette(pal);
}

// The width the Time column needs for a time in any of the formats a user can choose
// ("hh:nn:ss AM/PM" is the widest), with the cell's margins.
int TimeColumnWidth(const QTableView* grid) {
    const QFontMetrics fm(grid->font());
    int widest = 0;
    for (const QString& format : TimeFormats())
        for (const QTime& t : {QTime(10, 58, 58), QTime(20, 58, 58)})
            widest = qMax(widest, fm.horizontalAdvance(FormatTime(t, format)));
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return widest + 2 * margin + 2;
}

}  // namespace

void MainWindow::sync() {
    ++syncs_;
    syncControls();
    syncReadout();
    syncStatistics();
    syncTable();
    syncStatusBar();

    banner_->setVisible(s_.sched.bannerShown);
    SetText(bannerLabel_, s_.sched.bannerText);
    if (pageBox_->text() != s_.graph.pageBox) {
        const QSignalBlocker block(pageBox_);
        pageBox_->setText(s_.graph.pageBox);
    }

    if (timer_->interval() != s_.link.pollIntervalMs) timer_->setInterval(s_.link.pollIntervalMs);
    if (s_.link.pollTimerOn && !unloaded_) {
        if (!timer_->isActive()) timer_->start();
    } else if (timer_->isActive()) {
        timer_->stop();
    }
    // The graph repaints when it changes (the trend graph's onChanged): repainting its
    // whole picture on every tick cost more than all the rest of an idle tick.
}

void MainWindow::syncControls() {
    const ControlStates& c = s_.controls;
    for (int i = 0; i < kControlCount; ++i) {
        QAction* a = controlActions_[i];
        a->setEnabled(c.isEnabled(Control(i)));
        if (a->isCheckable()) a->setChecked(c.isChecked(Control(i)));
    }
}

void MainWindow::syncReadout() {
    const Readout& r = s_.readout;
    SetText(valueLabel_, r.value);
    SetText(unitLabel_, r.unit);
    for (QLabel* l : {valueLabel_, unitLabel_}) SetInk(l, r.stale ? kStaleInk : kLiveInk);
    // While recording: no live reading, or no journal to keep the records safe.
    const bool recording = s_.rec.nextRecord > 0 && s_.rec.running;
    const bool waiting = !s_.link.linkOn || r.stale;
    const QString& problem = s_.rec.journalProblem;
    SetText(meterNote_, waiting ? QStringLiteral("Recording waits for the meter")
                                : QStringLiteral("Records are not journalled"));
    meterNote_->setToolTip(waiting ? QString() : "The journal cannot be written: " + problem);
    meterNote_->setVisible(recording && (waiting || !problem.isEmpty()));
    SetText(couplingLabel_, r.coupling);
    buzzer_->setVisible(r.buzzerShown);
    diode_->setVisible(r.diodeShown);
    barImage_->setNumber(r.barImage);
    signImage_->setNumber(r.signImage);
    for (int i = kIndRS232; i <= kIndAvg; ++i)
        SetText(indicators_[i], r.indicator[i] ? indicatorCaptions_[i] : QString());
    const QColor window = palette().color(QPalette::Window);  // read-only boxes
    for (int i = 0; i < 3; ++i) {
        QLabel* l = limitFields_[i];
        SetText(l, r.limitCaption[i]);
        if (i < 2) SetBack(l, r.limitRed[i] ? QColor(255, 0, 0) : window);
    }
    SetText(recordNameField_, s_.rec.recordName);
    SetText(modeField_, s_.rec.shownFunction);
    SetText(unitField_, s_.rec.shownUnit);
}

void MainWindow::syncStatistics() {
    const Statistics& st = s_.stats;
    for (int i = 0; i < 3; ++i) {
        SetText(maxFields_[i], st.maxRow[i]);
        SetText(minFields_[i], st.minRow[i]);
    }
    for (int i = 0; i < 2; ++i) SetText(avgFields_[i], st.avgRow[i]);
    SetText(relValueField_, st.relValue);
    SetText(relUnitField_, st.relUnit);
    SetText(relTimeField_, st.relTime);
    const QColor face = st.relHighlighted ? QColor(128, 255, 255)
                                          : QApplication::palette(rel_).color(QPalette::Button);
    if (rel_->palette().color(QPalette::Button) != face) {
        QPalette pal = rel_->palette();
        pal.setColor(QPalette::Button, face);
        rel_->setPalette(pal);
        rel_->setAutoFillBackground(st.relHighlighted);
    }
}

void MainWindow::scrollTable(const QModelIndex& index, int hint) {
    scrollingTable_ = true;
    grid_->layOutPendingRows();  // rows just added or loaded, before scrolling
    grid_->scrollTo(index, QAbstractItemView::ScrollHint(hint));
    scrollingTable_ = false;
    const QScrollBar* bar = grid_->verticalScrollBar();
    tableFollows_ = bar->value() >= bar->maximum();
}

void MainWindow::syncTable() {
    if (!s_.table.redraw()) return;
    // The view follows the table's current cell (the empty row while recording) while
    // the user is at the bottom of the table; scrolled up, it stays where the user is.
    const int row = s_.table.currentRow;
    if (row != shownCurrentRow_ && tableFollows_) {
        shownCurrentRow_ = row;
        const QModelIndex index = s_.table.index(row - 1, s_.table.currentCol);
        if (index.isValid()) {
            scrollingTable_ = true;
            grid_->setCurrentIndex(index);
            scrollingTable_ = false;
            scrollTable(index, QAbstractItemView::EnsureVisible);
        }
    }
    // A graph page the user turned to, or the page an opened report shows, is shown in
    // the table too; a page the recording turned to is not (the table follows by itself).
    if (s_.graph.pageBox != shownPage_) {
        shownPage_ = s_.graph.pageBox;
        if (pageTurnedByUser_ || !s_.rec.running) {
            const int perPage = qMax(1, qRound(100 * s_.graph.pageScale));
            const int first = (shownPage_.toInt() - 1) * perPage + 1;
            const int records = s_.table.recordCount();
            if (s_.rec.running && first >= 1 && first + perPage > records) {
                // Back on the newest page of a recording: the table follows again.
                scrollTable(s_.table.index(records, 0), QAbstractItemView::EnsureVisible);
            } else if (first >= 1 && first <= records) {
                scrollTable(s_.table.index(first - 1, 0), QAbstractItemView::PositionAtTop);
            }
        }
    }
    pageTurnedByUser_ = false;
}

void MainWindow::syncStatusBar() {
    const StatusLine line =
        DescribeStatus(s_, calls_.meterDevice ? calls_.meterDevice() : QString());
    const struct {
        StatusField* field;
        const QString& text;
    } parts[] = {{statusState_, line.state},
                 {statusRecords_, line.records},
                 {statusSaved_, line.saved},
                 {statusSchedule_, line.schedule},
                 {statusPort_, line.port}};
    for (const auto& p : parts) {
        p.field->setText(p.text);
        if (p.field->isHidden() != p.text.isEmpty()) p.field->setVisible(!p.text.isEmpty());
    }
    if (statusSaved_->label()->toolTip() != line.saved)
        statusSaved_->label()->setToolTip(line.saved);
}

void MainWindow::LayoutControls() {
    if (previousClient_.width() == 0) return;
    const QSize now = central_->size();
    // The window's first showing resizes to the size just laid out: nothing to redo.
    if (now.isEmpty() || (laidOut_ && now == previousClient_)) return;
    // Ratios to the design size: the same as multiplying by each step's ratio, without
    // the rounding errors piling up over many resizes.
    const double rx = double(now.width()) / designClientSize().width();
    const double ry = double(now.height()) / designClientSize().height();
    const double px = 1.0 / kTwipsPerPixel;
    for (const Placed& p : placed_) {
        if (!p.widget) continue;
        const QRect& d = p.design;
        p.widget->setGeometry(qRound(d.x() * px * rx), qRound(d.y() * px * ry),
                              qMax(1, qRound(d.width() * px * rx)),
                              qMax(1, qRound(d.height() * px * ry)));
        if (p.fontPt > 0) {
            QFont f = p.widget->font();
            f.setPointSizeF(qMax(1.0, p.fontPt * ry));
            p.widget->setFont(f);
        }
    }
    QFont header = grid_->horizontalHeader()->font();
    header.setPointSizeF(qMax(1.0, 8 * ry));
    grid_->horizontalHeader()->setFont(header);
    grid_->verticalHeader()->setDefaultSectionSize(qMax(8, qRound(18 * ry)));
    const int columns[RecordTable::kColumns] = {38, 72, 60, 56, 42};
    for (int c = 0; c < RecordTable::kColumns; ++c)
        grid_->setColumnWidth(c, qMax(8, qRound(columns[c] * rx)));
    grid_->setColumnWidth(RecordTable::ColTime,
                          qMax(grid_->columnWidth(RecordTable::ColTime), TimeColumnWidth(grid_)));
    pageBox_->resize(pageBox_->width(), back_->height());

    s_.graph.scaleX = rx;
    s_.graph.scaleY = ry;
    if (calls_.setCanvasSize) calls_.setCanvasSize(graph_->size());
    Call(calls_.drawEmptyFrame);
    Call(calls_.redrawPage);
    previousClient_ = now;
    laidOut_ = true;
    graph_->update();
}

}  // namespace quillon
