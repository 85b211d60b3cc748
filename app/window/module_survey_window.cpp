#include "app/window/module_survey_window.h"

#include "app/catalogues.h"
#include "app/fonts.h"
#include "app/messages.h"
#include "link/visible_text.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kt {

ModuleSurveyWindow::ModuleSurveyWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      table_(new QTableWidget(0, 4, this)),
      bar_(new QProgressBar(this)),
      status_(new QLabel(this)),
      copy_(new QPushButton(this)),
      save_(new QPushButton(this)),
      cancel_(new QPushButton(this)) {
    setObjectName(QStringLiteral("frmModuleSurvey"));
    // Never what keeps the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    table_->setObjectName(QStringLiteral("tblModules"));
    bar_->setObjectName(QStringLiteral("pbSurvey"));
    status_->setObjectName(QStringLiteral("lblSurvey"));
    copy_->setObjectName(QStringLiteral("btnSurveyCopy"));
    save_->setObjectName(QStringLiteral("btnSurveySave"));
    cancel_->setObjectName(QStringLiteral("btnSurveyCancel"));

    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    bar_->setRange(0, kSurveyRequests);
    bar_->setValue(0);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy_);
    buttons->addWidget(save_);
    buttons->addStretch();
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(bar_);
    layout->addWidget(status_);
    layout->addLayout(buttons);
    resize(440, 320);

    connect(copy_, &QPushButton::clicked, this, &ModuleSurveyWindow::copyClick);
    connect(save_, &QPushButton::clicked, this, &ModuleSurveyWindow::saveClick);
    connect(cancel_, &QPushButton::clicked, this, &ModuleSurveyWindow::cancelClick);
    cancel_->setEnabled(false);
    copy_->setEnabled(false);
    save_->setEnabled(false);
    retranslate();
}

void ModuleSurveyWindow::changeEvent(QEvent* event) {
    // Qt posts the change to every window; one that already shows the
    // language leaves its columns as they are.
    if (event->type() == QEvent::LanguageChange && shownLanguage_ != Catalogues::installed())
        retranslate();
    QWidget::changeEvent(event);
}

void ModuleSurveyWindow::retranslate() {
    shownLanguage_ = Catalogues::installed();
    setFont(languageFont(Catalogues::indexFor(Catalogues::installed())));
    setWindowTitle(tr("Module survey"));
    table_->setHorizontalHeaderLabels(
        {tr("Kind"), tr("Type"), QStringLiteral("ID"), QStringLiteral("S/N")});
    copy_->setText(tr("Copy"));
    save_->setText(tr("Save"));
    cancel_->setText(tr("Cancel"));
    table_->resizeColumnsToContents();
    if (running_)
        status_->setText(tr("Asking the modules ..."));
    else if (ended_)
        showSummary();
}

void ModuleSurveyWindow::begin() {
    running_ = true;
    ended_ = false;
    cancelRequested_ = false;
    modules_.clear();
    table_->setRowCount(0);
    bar_->setValue(0);
    status_->setText(tr("Asking the modules ..."));
    cancel_->setEnabled(true);
    copy_->setEnabled(false);
    save_->setEnabled(false);
}

void ModuleSurveyWindow::progress(int asked, int total) {
    bar_->setMaximum(total);
    bar_->setValue(asked);
}

void ModuleSurveyWindow::addModule(const SurveyedModule& module) {
    modules_.append(module);
    const int row = table_->rowCount();
    table_->insertRow(row);
    const QString cells[] = {ModuleKindName(module.kind), ModuleTypeName(module),
                             QString::number(module.id), VisibleText(module.serial)};
    for (int column = 0; column < 4; ++column)
        table_->setItem(row, column, new QTableWidgetItem(cells[column]));
    table_->resizeColumnsToContents();
}

void ModuleSurveyWindow::end(const ModuleSurveyResult& result, bool portOpened) {
    running_ = false;
    ended_ = true;
    last_ = result;
    portOpened_ = portOpened;
    cancel_->setEnabled(false);
    copy_->setEnabled(true);
    save_->setEnabled(true);
    showSummary();
}

void ModuleSurveyWindow::showSummary() {
    const QString found = QString::number(modules_.size());
    if (!portOpened_)
        status_->setText(Messages::tr("Connect device error!"));
    else if (last_.portLost)
        status_->setText(tr("Survey stopped, the port was lost; modules found: %1").arg(found));
    else if (last_.cancelled)
        status_->setText(tr("Survey cancelled; modules found: %1").arg(found));
    else
        status_->setText(tr("Modules found: %1").arg(found));
}

QString ModuleSurveyWindow::tableText() const {
    QStringList lines = {
        QStringList{tr("Kind"), tr("Type"), QStringLiteral("ID"), QStringLiteral("S/N")}.join(
            u'\t')};
    for (const SurveyedModule& module : modules_)
        lines << QStringList{ModuleKindName(module.kind), ModuleTypeName(module),
                             QString::number(module.id), VisibleText(module.serial)}
                     .join(u'\t');
    return lines.join(u'\n') + u'\n';
}

void ModuleSurveyWindow::copyClick() {
    QApplication::clipboard()->setText(tableText());
}

void ModuleSurveyWindow::saveClick() {
    const QString path =
        saveChooser_ ? saveChooser_()
                     : QFileDialog::getSaveFileName(this, tr("Save"), QStringLiteral("modules.csv"),
                                                    QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty()) return;
    QSaveFile file(path);
    const QByteArray csv = ModuleSurveyCsv(modules_).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit()) {
        status_->setText(tr("Save error!"));
        return;
    }
    showSummary();
}

void ModuleSurveyWindow::cancelClick() {
    cancelRequested_ = true;
    cancel_->setEnabled(false);
}

// Closing the window while the survey runs cancels it; the window only
// hides, so the running survey can still report into it.
void ModuleSurveyWindow::closeEvent(QCloseEvent* event) {
    if (running_) cancelClick();
    QWidget::closeEvent(event);
}

}  // namespace kt
