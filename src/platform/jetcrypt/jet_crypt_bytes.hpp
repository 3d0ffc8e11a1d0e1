#pragma once
// jet_crypt_bytes.hpp - the toolkit's bounds-checked reader (tk_byte_reader) over the bytes of
// protection headers. Every offset and length taken from a file passes through need() first;
// a short or inconsistent header is a jet_crypt_error(3343), never a read past the buffer.

#include <cstdint>
#include <span>
#include <string>

#include "platform/jetcrypt/jet_codec.hpp"
#include "tk/tk_byte_reader.hpp"

class jet_crypt_bytes : public tk_byte_reader<jet_crypt_bytes> {
public:
    // what names the structure in the error text ("the database header").
    jet_crypt_bytes(std::span<const std::uint8_t> view, const char* structure)
        : tk_byte_reader(view), what(structure) {}

    [[noreturn]] void out_of_bounds(std::size_t, std::size_t) const {
        throw jet_crypt_error(JET_ERR_UNRECOGNIZED_FORMAT,
                              std::string("Unrecognized database format: ") + what
                                  + " is truncated or corrupt");
    }
    jet_crypt_bytes with_bytes(std::span<const std::uint8_t> view) const {
        return jet_crypt_bytes(view, what);
    }

private:
    const char* what;
};
