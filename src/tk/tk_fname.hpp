// tk_fname.hpp - the path splitter on POSIX paths. A path is made absolute (against the
// current directory, "." and ".." resolved by text, links left alone) and split as Windows'
// _splitpath does: drive (always empty here), directory with leading and trailing '/', name,
// and extension from the last dot of the last part, dot included ("/data/sales.mdb" gives
// "/data/", "sales", ".mdb"). An empty path stands for the running program, with the name
// part left empty. tk_file_wname is the same over UTF-16.
#pragma once

#include <string>
#include <string_view>

inline constexpr const char* TK_FNAME_SOURCE = "tk_fname";
inline constexpr int FAULT_FNAME_NO_FULL_PATH = 29;

class tk_file_name {
public:
    explicit tk_file_name(std::string_view path);
    void initialize(std::string_view path);

    std::string full_path() const { return drive_ + directory_ + name_ + extension_; }
    // An extension without a leading dot gets one; it replaces the extension part.
    void set_extension(std::string_view extension);

    const std::string& extension() const { return extension_; }
    const std::string& drive() const { return drive_; }
    const std::string& name() const { return name_; }
    const std::string& directory() const { return directory_; }

private:
    std::string extension_;
    std::string drive_;
    std::string name_;
    std::string directory_;
};

class tk_file_wname {
public:
    explicit tk_file_wname(std::u16string_view path);
    void initialize(std::u16string_view path);

    std::u16string full_path() const { return drive_ + directory_ + name_ + extension_; }
    void set_extension(std::u16string_view extension);

    const std::u16string& extension() const { return extension_; }
    const std::u16string& drive() const { return drive_; }
    const std::u16string& name() const { return name_; }
    const std::u16string& directory() const { return directory_; }

private:
    std::u16string extension_;
    std::u16string drive_;
    std::u16string name_;
    std::u16string directory_;
};
