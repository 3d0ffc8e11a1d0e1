#pragma once
// tk_byte_reader.hpp - the one bounds-checked reader of stored and received bytes: a view over
// std::span with every integer composed little-endian from single bytes, and every offset and
// length checked before use. `at + length` may wrap, so the checks never add first.
// The layer that reads decides what a short read is: Derived (the curiously recurring
// template) supplies
//   [[noreturn]] void out_of_bounds(std::size_t at, std::size_t length) const;
//   Derived with_bytes(std::span<const std::uint8_t> view) const;   // a sub-range, same owner
// so the Jet engine answers a corrupt page (3049), the page protection an unrecognised format
// (3343), and tk_byte_view, for bytes our own code laid out, an internal error.

#include "tk/tk_exce.hpp"
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

template <class Derived>
class tk_byte_reader {
public:
    std::size_t size() const { return bytes.size(); }

    bool fits(std::size_t at, std::size_t length) const {
        return at <= bytes.size() && length <= bytes.size() - at;
    }
    void need(std::size_t at, std::size_t length) const {
        if (!fits(at, length)) derived().out_of_bounds(at, length);
    }

    std::uint8_t u8(std::size_t at) const {
        need(at, 1);
        return bytes[at];
    }
    std::uint16_t u16(std::size_t at) const {
        need(at, 2);
        return std::uint16_t(bytes[at] | (bytes[at + 1] << 8));
    }
    std::uint32_t u24(std::size_t at) const {
        need(at, 3);
        return std::uint32_t(bytes[at]) | (std::uint32_t(bytes[at + 1]) << 8)
               | (std::uint32_t(bytes[at + 2]) << 16);
    }
    std::uint32_t u32(std::size_t at) const {
        need(at, 4);
        return std::uint32_t(bytes[at]) | (std::uint32_t(bytes[at + 1]) << 8)
               | (std::uint32_t(bytes[at + 2]) << 16) | (std::uint32_t(bytes[at + 3]) << 24);
    }
    std::uint64_t u64(std::size_t at) const {
        need(at, 8);
        return std::uint64_t(u32(at)) | (std::uint64_t(u32(at + 4)) << 32);
    }
    std::int16_t i16(std::size_t at) const { return std::int16_t(u16(at)); }
    std::int32_t i32(std::size_t at) const { return std::int32_t(u32(at)); }
    std::int64_t i64(std::size_t at) const { return std::int64_t(u64(at)); }
    float f32(std::size_t at) const { return std::bit_cast<float>(u32(at)); }
    double f64(std::size_t at) const { return std::bit_cast<double>(u64(at)); }

    std::span<const std::uint8_t> span(std::size_t at, std::size_t length) const {
        need(at, length);
        return bytes.subspan(at, length);
    }
    // The checked sub-range [at, at + length), reporting its faults as this reader does.
    Derived sub(std::size_t at, std::size_t length) const {
        return derived().with_bytes(span(at, length));
    }

protected:
    tk_byte_reader() = default;
    explicit tk_byte_reader(std::span<const std::uint8_t> view) : bytes(view) {}

    std::span<const std::uint8_t> bytes;

private:
    const Derived& derived() const { return static_cast<const Derived&>(*this); }
};

// For bytes our own code laid out (pages the writer built, a buffer of known size): a read
// outside them is a broken invariant of ours, an internal error naming the place that made
// the view (TK_BYTE_VIEW passes the source and line, as TK_ASSERT does).
class tk_byte_view : public tk_byte_reader<tk_byte_view> {
public:
    tk_byte_view(std::span<const std::uint8_t> view, const char* source_name, int line)
        : tk_byte_reader(view), source(source_name), made_at(line) {}

    [[noreturn]] void out_of_bounds(std::size_t, std::size_t) const {
        throw tk_mail_assertion(source, made_at);
    }
    tk_byte_view with_bytes(std::span<const std::uint8_t> view) const {
        return tk_byte_view(view, source, made_at);
    }

private:
    const char* source;
    int made_at;
};

#define TK_BYTE_VIEW(bytes) tk_byte_view((bytes), tk_source_name(__FILE__), __LINE__)
