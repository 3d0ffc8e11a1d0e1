// wiz_progress.cpp - step 5. The worker writes only atomics and locked fields (the counters,
// the table name, the done flag, the error list); the tick reads them on the GUI thread. The
// last-used settings are kept when the run starts, so a crash does not lose them.
#include "wiz/wiz_progress.hpp"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>

#include "conv/vantrel_conv.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_errh.hpp"
#include "wiz/wiz_shell.hpp"

namespace {

constexpr int WAIT_STEP_MILLISECONDS = 10;

}   // namespace

int wiz_progress_position(std::int32_t table_count, std::int32_t table_index,
                          std::int32_t record_count, std::int32_t record_index) {
    if (table_count <= 0) return 0;
    int position = table_index * 100 / table_count;
    if (record_count != 0) position += (record_index * 100 / record_count) / table_count;
    return position;
}

progress_page::progress_page()
    : wizard_page(HELP_NONE, "Step 5 of 5", "Database conversion is in progress") {
    setObjectName("progressPage");
    status_label = new QLabel(this);
    status_label->setObjectName("statusLabel");
    progress_bar = new QProgressBar(this);
    progress_bar->setObjectName("progressBar");
    progress_bar->setRange(0, 100);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(status_label);
    layout->addWidget(progress_bar);
    layout->addStretch();
}

progress_page::~progress_page() { stop_worker(); }

void progress_page::page_init() {
    tk_trace::write(1, "progress_page::page_init");
    progress_bar->setValue(0);
    vantrel_convertor& converter = wiz_converter();
    converter.serialize(true);
    worker.start([&converter] { converter.run(); });
    wizard_shell::instance().start_timer(PROGRESS_TICK_MILLISECONDS);
}

void progress_page::on_timer() {
    tk_trace::write(1, "progress_page::on_timer");
    const vantrel_convertor& converter = wiz_converter();
    const bool b_done = converter.is_done();
    progress_bar->setValue(std::min(
        100, wiz_progress_position(converter.get_table_count(), converter.get_table_index(),
                                   converter.get_record_count(), converter.get_record_index())));
    const QString table = QString::fromStdU16String(converter.get_current_table());
    status_label->setText(table.isEmpty() ? QString() : "Processing table '" + table + "'");
    if (!b_done) return;
    wizard_shell& shell = wizard_shell::instance();
    shell.stop_timer();
    worker.join();
    if (!worker.escaped_failure().empty()) shell.add_error(worker.escaped_failure());
    if (wiz_error_handler::current().has_internal_failure()) {
        QCoreApplication::exit(WIZ_EXIT_INTERNAL);
        return;
    }
    b_finished = true;
    emit completeChanged();
    shell.next();
}

bool progress_page::on_cancel() {
    if (!wizard_page::on_cancel()) return false;
    stop_worker();
    return true;
}

void progress_page::stop_worker() {
    if (!tk_converter::is_registered()) return;
    wiz_converter().request_stop();
    while (worker.is_running()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, WAIT_STEP_MILLISECONDS);
        QThread::msleep(WAIT_STEP_MILLISECONDS);
    }
    worker.join();
}
