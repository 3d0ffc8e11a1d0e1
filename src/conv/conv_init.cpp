// conv_init.cpp - the start and end lines of a conversion run. Both lines end in a line feed
// of their own, so the log shows an empty line after each.
#include "conv/conv_init.hpp"

#include <ctime>

#include "tk/tk_trace.hpp"

namespace {

void trace_local_time(const char* format) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    tk_trace::write(3, format, local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour,
                    local.tm_min, local.tm_sec);
}

}   // namespace

init_conversion::init_conversion(std::atomic<bool>& done, bool /*com_ready*/) : done_flag(done) {
    tk_trace::write(2, "init_conversion::ctor");
    trace_local_time("Conversion started on %02d/%02d/%04d at %02d:%02d:%02d\n");
}

init_conversion::~init_conversion() {
    tk_trace::write(2, "init_conversion::dtor");
    trace_local_time("Conversion ended on %02d/%02d/%04d at %02d:%02d:%02d\n");
    done_flag.store(true);
}
