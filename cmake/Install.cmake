# What `cmake --install` puts under the prefix: the two programs and the tool's page painter,
# the help manual, the desktop entry, the icon, the MIME type of .lut files, the AppStream
# metainfo and the man pages.
include(GNUInstallDirs)

install(TARGETS lexanta-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS lexanta-tool-print RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/lexanta)

set(LEXANTA_MAN_PAGES lexanta-tool)
if(NOT LEXANTA_CORE_ONLY)
  list(APPEND LEXANTA_MAN_PAGES lexanta-editor)
  install(TARGETS lexanta-editor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The editor looks for PREFIX/share/lexanta-editor/help beside PREFIX/bin.
  install(DIRECTORY help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/lexanta-editor/help)
  install(FILES desktop/org.lexanta.Editor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES desktop/lexanta-editor-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME lexanta-editor.xml)
  configure_file(desktop/org.lexanta.Editor.metainfo.xml.in
                 ${CMAKE_BINARY_DIR}/desktop/org.lexanta.Editor.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/desktop/org.lexanta.Editor.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES desktop/icons/lexanta-editor.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 48 256)
    install(FILES desktop/icons/lexanta-editor-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME lexanta-editor.png)
  endforeach()
endif()

# Man pages carry the version and are installed compressed, as Debian wants them.
find_program(GZIP gzip REQUIRED)
set(man_outputs)
foreach(page ${LEXANTA_MAN_PAGES})
  configure_file(man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
                     COMMAND ${GZIP} -9nf -k ${CMAKE_BINARY_DIR}/man/${page}.1
                     DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1)
  list(APPEND man_outputs ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_outputs})
install(FILES ${man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
