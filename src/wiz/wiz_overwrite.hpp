// wiz_overwrite.hpp - overwrite_dlg2, the existing-database choice of step 3: overwrite the
// whole database, overwrite existing tables, skip them, or merge rows (modes 0 to 3).
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

class QRadioButton;

inline constexpr const char* OVERWRITE_SOURCE = "over_dlg";
inline constexpr int FAULT_OVERWRITE_NO_MODE = 122;

class overwrite_dlg2 : public QDialog {
    Q_OBJECT
public:
    overwrite_dlg2(int help_topic, const QString& message, QWidget* parent);

    // The mode of the checked choice, valid after OK.
    std::int32_t mode() const { return chosen_mode; }

public slots:
    void accept() override;

private:
    std::array<QRadioButton*, 4> mode_radios;
    int help_topic;
    std::int32_t chosen_mode = 0;
};
