# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it.
# Included after every subdirectory, so every installed target exists.
# The layout is the one programs find their shared files by (src/tk/tk_resource_dir.hpp):
# bin/ and share/vantrel/ under the same prefix.
include(GNUInstallDirs)

# Installing and cpack take what is built (scripts/setup builds everything) and never start a
# whole build of their own, so the package test fails at once on a missing program.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(VANTREL_PACKAGE_MAINTAINER "Vantrel developers <vantrel-dev@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

install(TARGETS vantrelagent vantreldump RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The SQL Server test double, for trying conversions without a server.
install(TARGETS mssql-double RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vantrelwiz RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/vantrelwiz.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The program's own icon (drawn by tools/wiz-art), so the menu and the window show one.
install(FILES src/wiz/art/icon.png RENAME vantrelwiz.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(DIRECTORY src/wiz/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel/vantrelwiz.help)
install(FILES data/org.vantrel.vantrelwiz.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
set(vantrel_man_pages vantrelagent vantreldump mssql-double vantrelwiz)

# Manual pages and the changelog are compressed as Debian policy asks; -n keeps the
# compressed bytes free of time stamps, so a rebuild packages the same files.
set(vantrel_gzipped "")
foreach(page IN LISTS vantrel_man_pages)
    set(gzipped "${CMAKE_BINARY_DIR}/man/${page}.1.gz")
    add_custom_command(OUTPUT "${gzipped}"
        COMMAND ${CMAKE_COMMAND} -E copy "${CMAKE_SOURCE_DIR}/man/${page}.1"
                "${CMAKE_BINARY_DIR}/man/${page}.1"
        COMMAND gzip -9nf "${CMAKE_BINARY_DIR}/man/${page}.1"
        DEPENDS "${CMAKE_SOURCE_DIR}/man/${page}.1" VERBATIM)
    list(APPEND vantrel_gzipped "${gzipped}")
    install(FILES "${gzipped}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The licence as Debian's machine-readable copyright file: its text indented by one space,
# empty lines written as " .".
file(READ "${CMAKE_SOURCE_DIR}/LICENSE" license_text)
string(STRIP "${license_text}" license_text)
string(REGEX REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REGEX REPLACE "\n" "\n " VANTREL_LICENSE_PARAGRAPH " ${license_text}")
configure_file(cmake/debian/copyright.in "${CMAKE_BINARY_DIR}/doc/copyright" @ONLY)
configure_file(cmake/debian/changelog.in "${CMAKE_BINARY_DIR}/doc/changelog" @ONLY)
set(changelog_gz "${CMAKE_BINARY_DIR}/doc/changelog.gz")
add_custom_command(OUTPUT "${changelog_gz}"
    COMMAND gzip -9nkf "${CMAKE_BINARY_DIR}/doc/changelog"
    DEPENDS "${CMAKE_BINARY_DIR}/doc/changelog" VERBATIM)
add_custom_target(vantrel_install_files ALL DEPENDS ${vantrel_gzipped} "${changelog_gz}")

install(FILES README.md LICENSE "${CMAKE_BINARY_DIR}/doc/copyright" "${changelog_gz}"
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES data/vantrelagent.bash RENAME vantrelagent
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

include(cmake/vantrel_package.cmake)
