#pragma once
// jet_jet_password.hpp - the database password of Jet 3 and Jet 4 files, kept in the
// unmasked header at 0x42 (pages themselves are not encrypted by it).

#include <cstdint>
#include <span>
#include <string_view>

// Throws jet_crypt_error(3031) unless password matches the one stored in the unmasked
// page0 of a Jet 3 or Jet 4 file. A file without a password accepts any password.
void jet_check_jet_password(std::span<const std::uint8_t> page0, std::uint32_t version,
                            std::u16string_view password);
