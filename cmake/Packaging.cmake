# Installed documentation and the Debian package (`make deb`).
include(GNUInstallDirs)

# Debian wants manual pages and the changelog compressed, without a time
# stamp in the gzip header, so that a rebuild gives the same bytes.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(_docs ${CMAKE_BINARY_DIR}/installed-docs)
file(MAKE_DIRECTORY ${_docs})
set(_gzipped)
foreach(_page zanfeld.1 zanfeld-cli.1)
  add_custom_command(OUTPUT ${_docs}/${_page}.gz
                     COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/doc/${_page} > ${_docs}/${_page}.gz
                     DEPENDS ${PROJECT_SOURCE_DIR}/doc/${_page} VERBATIM)
  list(APPEND _gzipped ${_docs}/${_page}.gz)
  install(FILES ${_docs}/${_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${_docs}/changelog @ONLY)
add_custom_command(OUTPUT ${_docs}/changelog.gz
                   COMMAND ${GZIP_PROGRAM} -9nc ${_docs}/changelog > ${_docs}/changelog.gz
                   DEPENDS ${_docs}/changelog VERBATIM)
list(APPEND _gzipped ${_docs}/changelog.gz)
add_custom_target(zanfeld_docs ALL DEPENDS ${_gzipped})
# share/doc/<package>: the package's name, not the project's capitalised one.
install(FILES ${_docs}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zanfeld)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zanfeld)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zanfeld developers")
set(CPACK_PACKAGE_CONTACT "Zanfeld developers <zanfeld@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file sorter into folders by name, type, size, date or picture size")
# The synopsis is the summary above; these are the paragraphs below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Zanfeld sorts files into sub-folders of an output folder: by keywords in
the name, by the name or a part of it, by extension, by a size or date
condition, or by a picture's width or height. Files are copied or moved;
a file of the same name is asked about, numbered, overwritten, skipped or
replaced only when older. A second window copies whole folders the same way.

Every run can be previewed first and undone afterwards; replaced files go
to the Trash. The windows speak Chinese or English (the desktop's language,
or --lang); zanfeld-cli runs the same sorts from scripts and schedules.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/zanfeld/zanfeld")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program loads at run time rather than links: the Chinese words of
# Qt's standard buttons, a font with Chinese characters, the picture format
# plug-ins beyond PNG, BMP and JPEG (GIF and TIFF), and the platform plug-ins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk, qt6-image-formats-plugins, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
