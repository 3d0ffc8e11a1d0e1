// dbl_options.cpp - command-line parsing.
#include "dbl_options.hpp"

#include "dbl_products.hpp"

#include <stdexcept>

const char* const DBL_USAGE =
    "usage: mssql-double --port=N [--bind=127.0.0.1] [--data-dir=DIR]\n"
    "                    --login=USER:PASSWORD [--login=...]\n"
    "                    [--product-version=2008|2012|2019|2022] [--version-string=TEXT]\n"
    "                    [--drop-after-bulk-rows=N] [--drop-after-batches=N]\n"
    "                    [--delay-ms=T] [--refuse-logins-after=N] [--trace]\n";

namespace {

long number_of(const std::string& option, const std::string& text) {
    std::size_t used = 0;
    long value = -1;
    try {
        value = std::stol(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || value < 0)
        throw std::invalid_argument(option + " needs a number of 0 or more, not '" + text + "'");
    return value;
}

}   // namespace

dbl_options dbl_parse_options(int argc, char** argv) {
    dbl_options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string name = arg.substr(0, arg.find('='));
        bool has_value = arg.find('=') != std::string::npos;
        if (!has_value && name != "--trace" && i + 1 < argc) {
            arg = name + "=" + argv[++i];   // "--login sa:Secret1" as well as "--login=..."
            has_value = true;
        }
        std::string value = has_value ? arg.substr(arg.find('=') + 1) : "";
        if (name == "--port") {
            long port = number_of(name, value);
            if (port > 65535) throw std::invalid_argument("--port must be 0 to 65535");
            options.port = int(port);
        } else if (name == "--bind") {
            options.bind = value;
        } else if (name == "--data-dir") {
            options.data_dir = value;
        } else if (name == "--login") {
            std::size_t colon = value.find(':');
            if (colon == std::string::npos || colon == 0)
                throw std::invalid_argument("--login needs USER:PASSWORD");
            options.logins.emplace_back(value.substr(0, colon), value.substr(colon + 1));
        } else if (name == "--product-version") {
            if (dbl_product_version_text(value).empty())
                throw std::invalid_argument("--product-version is 2008, 2012, 2019 or 2022, not '"
                                            + value + "'");
            options.product = value;
        } else if (name == "--version-string") {
            options.version_string = value;
        } else if (name == "--drop-after-bulk-rows") {
            options.drop_after_bulk_rows = number_of(name, value);
        } else if (name == "--drop-after-batches") {
            options.drop_after_batches = number_of(name, value);
        } else if (name == "--delay-ms") {
            options.delay_ms = number_of(name, value);
        } else if (name == "--refuse-logins-after") {
            options.refuse_logins_after = number_of(name, value);
        } else if (name == "--trace") {
            options.b_trace = true;
        } else {
            throw std::invalid_argument("unknown option " + name);
        }
    }
    if (options.port < 0) throw std::invalid_argument("--port is required");
    if (options.logins.empty()) throw std::invalid_argument("at least one --login is required");
    return options;
}
