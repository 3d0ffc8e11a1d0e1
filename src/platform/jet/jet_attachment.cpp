// jet_attachment.cpp - unwraps and inflates attachment data (layout in jet_attachment.hpp).
// Access deflates every file type except those already compressed (jpg, zip, ...), which it
// stores raw under kind 0.
#include "platform/jet/jet_attachment.hpp"

#include <zlib.h>

#include <string>

#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_reader.hpp"

namespace {

constexpr std::uint32_t KIND_RAW = 0;
constexpr std::uint32_t KIND_DEFLATED = 1;
constexpr std::size_t WRAPPER_BYTES = 8;
constexpr std::size_t CONTENT_HEADER_MIN = 12;

[[noreturn]] void damaged(const std::string& why) {
    throw jet_error(JET_ERR_CORRUPT, "The attachment data is damaged: " + why + ".");
}

std::uint32_t u32_at(std::span<const std::uint8_t> bytes, std::size_t at) {
    return jet_reader(bytes, 0).u32(at);
}

// content_length bytes exactly: more or less than the wrapper announces is damage, not a
// file to pass on shortened.
std::vector<std::uint8_t> inflate_exactly(std::span<const std::uint8_t> deflated,
                                          std::size_t content_length) {
    std::vector<std::uint8_t> content(content_length + 1);   // +1 sees a longer stream
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) damaged("the inflater cannot start");
    stream.next_in = const_cast<Bytef*>(deflated.data());
    stream.avail_in = uInt(deflated.size());
    stream.next_out = content.data();
    stream.avail_out = uInt(content.size());
    int result = inflate(&stream, Z_FINISH);
    std::size_t produced = content.size() - stream.avail_out;
    inflateEnd(&stream);
    if (result == Z_DATA_ERROR || result == Z_NEED_DICT) damaged("bad deflate stream");
    if (result != Z_STREAM_END) {
        damaged(produced > content_length ? "the deflate stream holds more than announced"
                                          : "the deflate stream ends early");
    }
    if (produced != content_length) {
        damaged("the deflate stream holds " + std::to_string(produced) + " bytes, "
                + std::to_string(content_length) + " announced");
    }
    content.resize(content_length);
    return content;
}

}   // namespace

std::vector<std::uint8_t> jet_decode_attachment(std::span<const std::uint8_t> stored) {
    if (stored.size() < WRAPPER_BYTES) damaged("the header is cut short");
    std::uint32_t kind = u32_at(stored, 0);
    std::size_t content_length = u32_at(stored, 4);
    std::span<const std::uint8_t> body = stored.subspan(WRAPPER_BYTES);
    std::vector<std::uint8_t> content;
    if (kind == KIND_DEFLATED) {
        content = inflate_exactly(body, content_length);
    } else if (kind == KIND_RAW) {
        if (body.size() < content_length) damaged("the stored file is cut short");
        content.assign(body.begin(), body.begin() + std::ptrdiff_t(content_length));
    } else {
        damaged("unknown storage kind " + std::to_string(kind));
    }
    if (content.size() < CONTENT_HEADER_MIN) damaged("the content header is cut short");
    std::size_t header_length = u32_at(content, 0);
    if (header_length < CONTENT_HEADER_MIN || header_length > content.size())
        damaged("the content header length " + std::to_string(header_length) + " is impossible");
    content.erase(content.begin(), content.begin() + std::ptrdiff_t(header_length));
    return content;
}
