#pragma once
// jet_text.hpp - text as stored in pages to UTF-16. Jet 4 and ACE store UTF-16LE, optionally
// in Access's Unicode compression (0xFF 0xFE, then runs of one-byte Latin-1 characters and of
// two-byte units, switched by a 0x00 byte). Jet 3 stores the file's code page, decoded here
// through iconv (code page 936 is GBK); a byte the code page lacks becomes U+FFFD.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

class jet_text_decoder {
public:
    jet_text_decoder(bool jet3, std::uint16_t code_page);
    ~jet_text_decoder();
    jet_text_decoder(const jet_text_decoder&) = delete;
    jet_text_decoder& operator=(const jet_text_decoder&) = delete;

    std::u16string decode(std::span<const std::uint8_t> bytes) const;

    // Whether Jet 3 text in this code page decodes (1252 always; others through iconv).
    static bool can_decode(std::uint16_t code_page);

private:
    std::u16string decode_code_page(std::span<const std::uint8_t> bytes) const;

    bool is_jet3;
    void* converter = nullptr;   // iconv_t for Jet 3 code pages other than 1252
};

// UTF-16LE with optional Unicode compression (Jet 4 / ACE), odd trailing byte dropped.
std::u16string jet_decode_unicode(std::span<const std::uint8_t> bytes);

// For messages and names in errors: UTF-16 to UTF-8.
std::string jet_utf8(const std::u16string& text);
