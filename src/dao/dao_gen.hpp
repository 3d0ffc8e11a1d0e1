// dao_gen.hpp - dao_generator: writes the built-in workgroup file to a new temporary file
// ("vantrel-workgroup-XXXXXX" in $TMPDIR, or /tmp; mode 0600) and removes it, with the
// engine's lock file beside it (the name + ".ldb"), when destroyed; a fatal error unwinds to
// main, so the destructor runs then as well. The working folder is never written: it may be
// read-only or shared. The two built-in images are ours: the header of a Jet 4 (image A,
// 143360 bytes) or Jet 3 (image B, 131072 bytes) workgroup file that dao_check_sysdb accepts;
// nothing reads further, since anonymous use needs no logon.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::size_t DAO_IMAGE_A_SIZE = 143360;
inline constexpr std::size_t DAO_IMAGE_B_SIZE = 131072;

const std::vector<std::uint8_t>& dao_workgroup_image_a();
const std::vector<std::uint8_t>& dao_workgroup_image_b();

class dao_generator {
public:
    dao_generator();
    dao_generator(const dao_generator&) = delete;
    dao_generator& operator=(const dao_generator&) = delete;
    ~dao_generator();

    // Writes the block under a new name (mode 0600, never over an existing file). A fatal
    // tk_exception names the folder and the reason when it cannot.
    void do_generate(std::size_t size, const std::uint8_t* bytes);
    const std::string& get_name() const { return name; }

    std::string name;
    bool b_generated = false;
};
