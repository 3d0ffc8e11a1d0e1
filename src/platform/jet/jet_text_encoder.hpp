#pragma once
// jet_text_encoder.hpp - UTF-16 text to the bytes a Jet 4 / ACE page stores: UTF-16LE, or,
// for columns marked for Unicode compression, Access's compressed form (0xFF 0xFE, then
// runs of one-byte characters U+0001..U+00FF and of two-byte units, a 0x00 byte switching
// between them; the text starts in the one-byte run). Compression is used only when it is
// shorter and every unit can be written: a NUL, or a two-byte unit whose low byte is 0x00
// (U+0100, U+4E00 ...), would read back as a switch. Access compresses at most 1024
// characters; longer texts are stored plainly.

#include <cstdint>
#include <string_view>
#include <vector>

std::vector<std::uint8_t> jet_encode_unicode(std::u16string_view text, bool compress);
