#include "app/window/traffic_monitor.h"

#include "app/catalogues.h"
#include "app/fonts.h"
#include "link/link.h"

#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace kt {
namespace {

// The monitor's size and place belong to the account, in a section of its
// own beside (never among) the store's seven values.
QSettings accountSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrane"),
                     QStringLiteral("ControllerTools"));
}
const QString kPlaceKey = QStringLiteral("TrafficMonitor/geometry");

}  // namespace

TrafficMonitor::TrafficMonitor(Link& link)
    : link_(link),
      view_(new QTableView(this)),
      pause_(new QPushButton(this)),
      clear_(new QPushButton(this)),
      save_(new QPushButton(this)) {
    setObjectName(QStringLiteral("frmTraffic"));
    setWindowFlag(Qt::Window);
    // The main form's close ends the program, whether or not this is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    view_->setObjectName(QStringLiteral("tvTraffic"));
    pause_->setObjectName(QStringLiteral("btnTrafficPause"));
    clear_->setObjectName(QStringLiteral("btnTrafficClear"));
    save_->setObjectName(QStringLiteral("btnTrafficSave"));
    pause_->setCheckable(true);

    view_->setModel(&log_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setWordWrap(false);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(false);
    view_->horizontalHeader()->setSectionResizeMode(TrafficLog::BytesColumn, QHeaderView::Stretch);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pause_);
    buttons->addWidget(clear_);
    buttons->addWidget(save_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addLayout(buttons);

    connect(pause_, &QPushButton::clicked, this, &TrafficMonitor::togglePause);
    connect(clear_, &QPushButton::clicked, this, [this] {
        view_->clearSpans();
        log_.clear();
    });
    connect(save_, &QPushButton::clicked, this, &TrafficMonitor::save);
    // Newest in view, unless the technician is reading older rows.
    connect(&log_, &QAbstractItemModel::rowsInserted, view_, [this](const QModelIndex&, int first) {
        // A pause's marker reads across the columns after the time.
        if (log_.row(first).hidden > 0)
            view_->setSpan(first, TrafficLog::DirectionColumn, 1,
                           TrafficLog::ColumnCount - TrafficLog::DirectionColumn);
        if (!paused_) view_->scrollToBottom();
    });
    chooseFile_ = [this] {
        return QFileDialog::getSaveFileName(this, tr("Save"), QString(), tr("Text files (*.txt)"));
    };
    resize(760, 360);
    retranslate();
}

TrafficMonitor::~TrafficMonitor() {
    listen(false);
    // The view lets go of the rows before they go: with 10,000 of them, a
    // view that watched the model die took over a second to close.
    view_->setModel(nullptr);
}

void TrafficMonitor::changeEvent(QEvent* event) {
    // Qt posts the change to every window; one already in the language
    // leaves its columns as they are.
    if (event->type() == QEvent::LanguageChange && shownLanguage_ != Catalogues::installed())
        retranslate();
    QWidget::changeEvent(event);
}

void TrafficMonitor::retranslate() {
    shownLanguage_ = Catalogues::installed();
    setFont(languageFont(Catalogues::indexFor(Catalogues::installed())));
    setWindowTitle(tr("Traffic monitor"));
    pause_->setText(paused_ ? tr("Resume") : tr("Pause"));
    clear_->setText(tr("Clear"));
    save_->setText(tr("Save"));
    log_.retranslate();
    // Rows as tall as the language's words: the Chinese faces' lines are
    // taller than the Latin face's the font metrics give.
    const QFontMetrics metrics(font());
    const int glyphs = metrics.tightBoundingRect(TrafficLog::tr("Received")).height();
    view_->verticalHeader()->setDefaultSectionSize(std::max(metrics.height(), glyphs + 4) + 4);
    sizeColumns();
}

// Each narrow column as wide as the longest text it can hold in this
// language, header included, whether or not a row shows it yet; not by
// measuring every row, which with 10,000 of them takes seconds.
void TrafficMonitor::sizeColumns() {
    const QFontMetrics metrics(view_->font());
    // Besides the words, the widest figures each column shows.
    const QList<std::pair<int, QStringList>> columns{
        {TrafficLog::TimeColumn, {QStringLiteral("00:00:00.000")}},
        {TrafficLog::DirectionColumn, {}},
        {TrafficLog::FrameColumn, {QStringLiteral("CRC"), QStringLiteral("XOR")}},
        {TrafficLog::LengthColumn, {QStringLiteral("00000")}},
        {TrafficLog::VerdictColumn, {}},
        {TrafficLog::ReplyMsColumn, {QStringLiteral("00000")}}};
    const QFontMetrics header(view_->horizontalHeader()->font());
    for (const auto& [column, figures] : columns) {
        const QStringList texts = TrafficLog::columnTexts(column) + figures;
        int width = 0;
        for (const QString& text : texts)
            width =
                std::max({width, metrics.horizontalAdvance(text), header.horizontalAdvance(text)});
        // Room for the cell's margins.
        view_->setColumnWidth(column, width + metrics.averageCharWidth() + 8);
    }
}

void TrafficMonitor::togglePause() {
    paused_ = !paused_;
    if (!paused_) log_.endPause();
    pause_->setChecked(paused_);
    retranslate();
}

bool TrafficMonitor::saveTo(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    file.write(log_.text().toUtf8());
    return file.commit();
}

void TrafficMonitor::save() {
    const QString path = chooseFile_ ? chooseFile_() : QString();
    if (!path.isEmpty()) saveTo(path);
}

void TrafficMonitor::listen(bool on) {
    if (!on) {
        link_.setTrace({});
        return;
    }
    // The link calls this on its worker thread: the frame's moment is taken
    // there, and the row is added here.
    link_.setTrace([this](const TraceEvent& event) {
        const QTime time = QTime::currentTime();
        const qint64 monotonicMs = log_.monotonicNow();
        QMetaObject::invokeMethod(
            this,
            [this, event, time, monotonicMs] {
                if (paused_)
                    log_.hide(time);
                else
                    log_.record(event, time, monotonicMs);
            },
            Qt::QueuedConnection);
    });
}

void TrafficMonitor::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        restorePlace();
    }
    listen(true);
    QWidget::showEvent(event);
}

void TrafficMonitor::hideEvent(QHideEvent* event) {
    listen(false);
    storePlace();
    QWidget::hideEvent(event);
}

void TrafficMonitor::restorePlace() {
    const QByteArray place = accountSettings().value(kPlaceKey).toByteArray();
    if (!place.isEmpty()) restoreGeometry(place);
}

void TrafficMonitor::storePlace() const {
    QSettings settings = accountSettings();
    if (settings.isWritable()) settings.setValue(kPlaceKey, saveGeometry());
}

}  // namespace kt
