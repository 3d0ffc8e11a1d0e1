// tk_conv.cpp - the converter base and its log file checks.
#include "tk/tk_conv.hpp"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "tk/tk_exce.hpp"
#include "tk/tk_fsys.hpp"
#include "tk/tk_trace.hpp"

namespace {

constexpr const char* LOG_READ_ONLY_TEXT = "Logfile name specifies an existing read-only file.";
constexpr const char* LOG_NO_PATH_TEXT =
    "Logfile path does not exist.\nPlease verify the correct path was given.";

// The directory part of a path, with its trailing '/'; empty for a bare name, which is
// checked against the current directory.
std::string directory_of(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A folder, a read-only file system or a full disk: without this the log would stay empty
// without a word. One byte is written and flushed (a full disk refuses only then), and the
// file is emptied again, as enabling the log does anyway.
void check_writable(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    int error_number = file == nullptr ? errno : 0;
    if (file != nullptr) {
        if (std::fputc('\n', file) == EOF || std::fflush(file) != 0) error_number = errno;
        if (std::fclose(file) != 0 && error_number == 0) error_number = errno;
    }
    if (error_number == 0) {
        if (std::FILE* emptied = std::fopen(path.c_str(), "wb")) std::fclose(emptied);
        return;
    }
    throw tk_exception("Cannot write the log file '" + path + "': " + std::strerror(error_number)
                           + ".",
                       ERROR_LEVEL_FATAL);
}

}   // namespace

tk_converter::tk_converter() = default;

tk_converter::~tk_converter() = default;

void tk_converter::run() {
    while (!is_finished()) wait_step();
    on_finished();
}

bool tk_converter::is_finished() { return false; }

void tk_converter::wait_step() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

void tk_converter::on_finished() {}

void tk_converter::set_silent(bool flag) { silent = flag; }

void tk_converter::set_logfile(const std::string& path) {
    tk_trace::write(1, "tk_convertor::set_logfile(%s)", path.c_str());
    if (!path.empty()) {
        if (tk_is_file_exist(path, 0) && !tk_is_file_exist(path, 1)) {
            throw tk_exception(LOG_READ_ONLY_TEXT, ERROR_LEVEL_FATAL);
        }
        if (!tk_is_path_exist(directory_of(path))) {
            throw tk_exception(LOG_NO_PATH_TEXT, ERROR_LEVEL_FATAL);
        }
        check_writable(path);
    }
    log_path = path;
    if (path.empty() || !tk_trace::is_registered()) return;
    tk_trace::instance().set_path_and_enable(path);
}
