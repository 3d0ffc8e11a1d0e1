// udb_row_error.hpp - a source row that cannot be read whole (a damaged attachment): the run
// reports it with its table and row, counts the row as lost and goes on with the next one,
// where any other source failure gives the table up.
#pragma once

#include <string>

#include "tk/tk_exce.hpp"

class udb_row_error : public tk_exception {
public:
    explicit udb_row_error(std::string message)
        : tk_exception(std::move(message), ERROR_LEVEL_RECOVERABLE) {}
};
