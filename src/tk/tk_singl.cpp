// tk_singl.cpp - the one non-template piece of the singleton pattern.
#include "tk/tk_singl.hpp"

#include "tk/tk_trace.hpp"

void tk_singl_report_unregister_failure(const tk_mail_assertion& failure) {
    tk_trace::write(2, "%s", failure.what());
}
