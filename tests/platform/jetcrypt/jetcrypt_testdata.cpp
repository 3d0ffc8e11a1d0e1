// jetcrypt_testdata.cpp - file reading, page decoding and digests for the codec tests.
#include "platform/jetcrypt/jetcrypt_testdata.hpp"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include <openssl/evp.h>

#include "platform/jetcrypt/jet_codec.hpp"

std::filesystem::path jetcrypt_testdata(const std::string& relative) {
    return std::filesystem::path(VANTREL_TESTDATA_DIR) / relative;
}

bool jetcrypt_testdata_present() {
    return std::filesystem::exists(jetcrypt_testdata("MANIFEST.md"));
}

std::vector<std::uint8_t> jetcrypt_read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t jetcrypt_page_size(const std::vector<std::uint8_t>& file) {
    return file.size() > 0x14 && file[0x14] == 0 ? 2048 : 4096;
}

std::vector<std::uint8_t> jetcrypt_decode_file(const std::vector<std::uint8_t>& file,
                                               std::u16string_view password) {
    const std::size_t page_size = jetcrypt_page_size(file);
    const std::span<const std::uint8_t> all(file);
    const std::unique_ptr<jet_page_codec> codec = jet_open_codec(
        all.first(std::min(page_size, file.size())), password);
    std::vector<std::uint8_t> decoded;
    for (std::size_t page_no = 1; (page_no + 1) * page_size <= file.size(); ++page_no) {
        std::vector<std::uint8_t> page(all.begin() + std::ptrdiff_t(page_no * page_size),
                                       all.begin() + std::ptrdiff_t((page_no + 1) * page_size));
        if (codec) codec->decode_page(std::uint32_t(page_no), page);
        decoded.insert(decoded.end(), page.begin(), page.end());
    }
    return decoded;
}

std::string jetcrypt_sha256_hex(const std::vector<std::uint8_t>& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr);
    static const char* hex = "0123456789abcdef";
    std::string text;
    for (unsigned int idx = 0; idx < size; ++idx) {
        text.push_back(hex[digest[idx] >> 4]);
        text.push_back(hex[digest[idx] & 15]);
    }
    return text;
}
