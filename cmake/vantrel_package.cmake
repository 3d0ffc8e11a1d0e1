# The Debian package: `cpack -G DEB` in the build folder makes vantrel_<version>_<arch>.deb.
# Installed under /usr, stripped, with the library packages dpkg-shlibdeps finds for the
# programs (FreeTDS, SQLite, OpenSSL, and Qt with the wizard).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Vantrel developers")
set(CPACK_PACKAGE_CONTACT "${VANTREL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "convert Microsoft Access databases into Microsoft SQL Server")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The long description under the summary line; cpack indents it and marks the empty line.
set(CPACK_PACKAGE_DESCRIPTION
"Vantrel moves a Microsoft Access database (.mdb or .accdb, also one protected
by a database password or by workgroup security) into a Microsoft SQL Server
database: every selected table with mapped types, identity columns, keys,
indexes, defaults and foreign keys, and every row, by bulk load or by
statements.

The package holds vantrelagent, the console program; vantreldump, which
prints what Vantrel reads from an Access file; mssql-double, a small SQL
Server stand-in for trying conversions; and, when built, the wizard
vantrelwiz.")
include(CPack)
