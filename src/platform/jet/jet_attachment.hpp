#pragma once
// jet_attachment.hpp - an attachment's FileData as Access shows it, from the bytes the hidden
// attachment table stores. Little-endian. Stored: 0x00 4 kind (0 raw, 1 zlib stream);
// 0x04 4 length of the content header plus the file; 0x08 the content, deflated for kind 1.
// Content: 0x00 4 header length (counting itself); 0x04 4 unknown (1); 0x08 4 characters of
// the extension; 0x0C the extension, UTF-16 with its NUL; then the file's bytes.

#include <cstdint>
#include <span>
#include <vector>

// The file's bytes. A cut header, an unknown kind, a bad deflate stream or lengths that do
// not add up raise jet_error 3049 saying which.
std::vector<std::uint8_t> jet_decode_attachment(std::span<const std::uint8_t> stored);
