// wiz_progress.hpp - progress_page, step 5: runs the conversion on a worker thread and shows
// its progress from the converter's counters five times a second; when the run is done the
// wizard moves to the finish page. Cancel asks, then stops the run cleanly and waits for it.
#pragma once

#include <cstdint>

#include "tk/tk_thread.hpp"
#include "wiz/wiz_page.hpp"

class QLabel;
class QProgressBar;

inline constexpr int PROGRESS_TICK_MILLISECONDS = 200;

// The bar's position: whole tables done, plus the share of the current table's records.
int wiz_progress_position(std::int32_t table_count, std::int32_t table_index,
                          std::int32_t record_count, std::int32_t record_index);

class progress_page : public wizard_page {
    Q_OBJECT
public:
    progress_page();
    ~progress_page() override;

    void page_init() override;
    void on_timer() override;
    bool on_cancel() override;
    bool isComplete() const override { return b_finished; }

private:
    // Asks the run to stop and waits for it, answering the worker's dialogs meanwhile.
    void stop_worker();

    QLabel* status_label;
    QProgressBar* progress_bar;
    bool b_finished = false;
    tk_thread worker;   // last: joined before the page's controls go
};
