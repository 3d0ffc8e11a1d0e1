#pragma once
// jetcrypt_testdata.hpp - reads the shared Access test files for the codec tests and decodes
// them page by page as the engine's pager would.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

std::filesystem::path jetcrypt_testdata(const std::string& relative);
bool jetcrypt_testdata_present();
std::vector<std::uint8_t> jetcrypt_read_file(const std::filesystem::path& path);

// 2048 for Jet 3 (version byte 0 at 0x14), else 4096.
std::size_t jetcrypt_page_size(const std::vector<std::uint8_t>& file);

// Opens the codec from page 0 and returns pages 1.. decoded, concatenated.
std::vector<std::uint8_t> jetcrypt_decode_file(const std::vector<std::uint8_t>& file,
                                               std::u16string_view password);

std::string jetcrypt_sha256_hex(const std::vector<std::uint8_t>& bytes);
