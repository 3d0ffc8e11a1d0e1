#include "platform/jet/jet_header_writer.hpp"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <iterator>
#include <string_view>

#include "platform/jet/jet_byte_writer.hpp"
#include "platform/jetcrypt/jet_codec.hpp"
#include "platform/jetcrypt/jet_header.hpp"

namespace {

constexpr std::size_t PAGE_SIZE = 4096;
constexpr std::uint16_t CODE_PAGE_1252 = 1252;
constexpr std::uint16_t SORT_GENERAL = 0x0409;
constexpr std::uint32_t VERSION_ACE12 = 2;
constexpr double UNIX_EPOCH_OLE = 25569.0;

}   // namespace

double jet_now_ole_date() {
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return UNIX_EPOCH_OLE + double(seconds.count()) / 86400.0;
}

std::vector<std::uint8_t> jet_encode_header_page(jet_format format, double creation_date) {
    std::vector<std::uint8_t> page(PAGE_SIZE, 0);
    std::copy(std::begin(JET_MAGIC), std::end(JET_MAGIC), page.begin());
    std::string_view name = format == jet_format::jet4 ? JET_SIGNATURE_JET : JET_SIGNATURE_ACE;
    for (std::size_t char_idx = 0; char_idx < name.size(); ++char_idx)
        page[JET_OFFSET_SIGNATURE + char_idx] = std::uint8_t(name[char_idx]);
    jet_put_u32(page, JET_OFFSET_VERSION,
                format == jet_format::jet4 ? JET_VERSION_JET4 : VERSION_ACE12);
    jet_put_u16(page, JET_OFFSET_CODE_PAGE, CODE_PAGE_1252);
    jet_put_u32(page, JET_OFFSET_ENCODING_KEY, 0);
    // The stored password is XORed with the integer part of the creation date: storing
    // the mask itself leaves an empty password.
    std::uint32_t date_mask = std::uint32_t(std::int32_t(std::floor(creation_date)));
    for (std::size_t at = 0; at < JET4_PASSWORD_LENGTH; at += 4)
        jet_put_u32(page, JET_OFFSET_PASSWORD + at, date_mask);
    jet_put_u16(page, JET4_OFFSET_SORT_ORDER, SORT_GENERAL);
    jet_put_u64(page, JET_OFFSET_CREATION_DATE, std::bit_cast<std::uint64_t>(creation_date));
    jet_unmask_header(page);   // the mask is its own inverse
    return page;
}
