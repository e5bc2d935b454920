# A Debian package from the install tree: cpack -G DEB in the build folder. Its
# dependencies are read from the program's libraries by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_PACKAGE_NAME brevon)
set(CPACK_PACKAGE_VENDOR "${BREVON_COMPANY_NAME}")
set(CPACK_PACKAGE_VERSION "${BREVON_VERSION_TEXT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Brevon is a small, fast editor for rich text (RTF) and plain text.\nIt opens and saves RTF files without losing what it does not show,\nkeeps no settings and writes no file but the documents you save.")
set(CPACK_PACKAGE_CONTACT "${BREVON_COMPANY_NAME} <brevon@tolvex.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
