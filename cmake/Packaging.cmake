# A Debian package of what cmake/Install.cmake installs: `scripts/package` (cpack -G DEB).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lexanta-editor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lexanta Editor project")
set(CPACK_PACKAGE_CONTACT "Lexanta Editor project <lexanta-editor@lexanta.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for Lexanta flash-card vocabularies")
# CPack puts the summary first and indents this text; an empty line starts a paragraph.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Lexanta Editor edits the .lut vocabularies that learners drill with the
Lexanta flash-card program: questions, answers and comments with a short
description, one font and one keyboard layout per field. It loads, saves,
merges, imports and exports word lists, sorts, shuffles and searches them,
in an English or Russian interface, and keeps the files byte for byte.

The package also holds lexanta-tool, which runs the same routines on files
from the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libzip and SQLite are loaded when first used, so they are not among the libraries the programs
# link; their packages are named after their SONAMEs (libzip.so.4: libzip4, libsqlite3.so.0:
# libsqlite3-0).
string(REGEX REPLACE "^(lib.*)\\.so\\.([0-9]+)$" "\\1\\2" libzip_package ${LIBZIP_SONAME})
string(REGEX REPLACE "^(lib.*[0-9])\\.so\\.([0-9]+)$" "\\1-\\2" sqlite_package ${SQLITE3_SONAME})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${libzip_package}, ${sqlite_package}")
# The list check spells with whichever Hunspell dictionaries are installed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hunspell-en-us | hunspell-dictionary")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)

# Debian wants a copyright file and a compressed changelog in the package's doc folder.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/lexanta-editor)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../desktop/changelog.in ${CMAKE_BINARY_DIR}/desktop/changelog
               @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/desktop/changelog.gz
                   COMMAND ${GZIP} -9nf -k ${CMAKE_BINARY_DIR}/desktop/changelog
                   DEPENDS ${CMAKE_BINARY_DIR}/desktop/changelog)
add_custom_target(package_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/desktop/changelog.gz)
install(FILES desktop/copyright ${CMAKE_BINARY_DIR}/desktop/changelog.gz DESTINATION ${doc_dir})

include(CPack)
